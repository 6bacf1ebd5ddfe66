#include "cleaners/files/ZeroByteJob.h"

#include "cleaners/files/ZeroByteFiles.h"

ZeroByteJob::ZeroByteJob(TdcFileInfo& info)
    : info_(info)
{
    walker_.FileMask = QStringLiteral("*.*");
    walker_.StopOnFirstFind = false;
}

void ZeroByteJob::scan(const core::Context&, core::JobSink& sink, const QString& drive)
{
    qsizetype count = 0;
    walker_.FilePath = drive.left(1) + QStringLiteral(":\\");
    walker_.OnFind = [&](QObject*, const QString& file) {
        sink.progress(file, count);
        const platform::FolderListing::Found& entry = walker_.FoundEntry();
        if (!ZeroByteFiles::qualifies(file, entry, [this] { return walker_.FoundIsPackaged(); }, info_))
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
