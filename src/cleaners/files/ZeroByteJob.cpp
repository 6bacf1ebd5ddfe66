#include "cleaners/files/ZeroByteJob.h"

#include "cleaners/files/ZeroByteFiles.h"

ZeroByteJob::ZeroByteJob()
{
    walker_.FileMask = QStringLiteral("*.*");
    walker_.StopOnFirstFind = false;
}

void ZeroByteJob::scan(const core::Context&, core::JobSink& sink, const QString& drive)
{
    qsizetype count = 0;
    walker_.FilePath = drive.left(1) + QStringLiteral(":\\");
    const auto packaged = [this] { return walker_.FoundIsPackaged(); };
    const auto again = [this] { return walker_.FoundAgain(); };
    walker_.OnFind = [&](QObject*, const QString& file) {
        sink.progress(file, count);
        const platform::FolderListing::Found& entry = walker_.FoundEntry();
        if (!ZeroByteFiles::qualifies(entry, packaged, again))
            return;
        core::Finding found;
        found.path = file;
        found.id = entry.id;
        ++count;
        sink.found(found);
    };
    walker_.Execute();
    walker_.OnFind = nullptr;
}
