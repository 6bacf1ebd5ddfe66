#include "cleaners/files/ShortcutJob.h"

#include "cleaners/files/ShortcutCheck.h"

ShortcutJob::ShortcutJob(TdcShellLink& link)
    : link_(link)
{
    walker_.SubDirectories = true;
    walker_.KeepResult = false;
}

void ShortcutJob::scan(const core::Context&, core::JobSink& sink, const QString& walked, const QString& fixedLetters)
{
    judged_ = 0;
    broken_ = 0;
    walker_.SearchFilter.clear();
    for (const QChar letter : walked)
        walker_.SearchFilter.append(QString(letter) + QStringLiteral(":\\*.lnk"));
    walker_.OnFileFound = [&](const QString& path) {
        const platform::EntryId listed = walker_.FoundEntry().id;
        // A shortcut that cannot be read comes back without a target and is
        // passed over: one shortcut's trouble never ends the search.
        const ShortcutCheck::Verdict verdict = ShortcutCheck::judge(path, exeOnly(), fixedLetters, link_);
        if (!verdict.counted)
            return;
        ++judged_;
        if (verdict.broken) {
            ++broken_;
            core::Finding found;
            found.path = path;
            found.id = listed;
            found.detail = verdict.target;
            sink.found(found);
        }
        sink.progress(path, judged_);
    };
    // Shortcuts may lie far apart: each folder is progress too, so a front
    // end without a message loop can show where the walk is and stop it.
    if (sink.wantsProgress())
        walker_.OnFolder = [&](const QString& folder) { sink.progress(folder, judged_); };
    walker_.Execute();
    walker_.OnFileFound = nullptr;
    walker_.OnFolder = nullptr;
}
