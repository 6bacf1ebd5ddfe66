#include "core/Disposal.h"

#include "core/OutcomeSink.h"
#include "platform/DeletionPass.h"
#include "platform/ShellDelete.h"

namespace core {

CleanOutcome Dispose(const QString& path, const platform::EntryId& listed, Disposal how)
{
    bool done = false;
    switch (how) {
    case Disposal::Erase:
        done = platform::ShellDelete::erase(path, listed);
        break;
    case Disposal::Recycle:
        done = platform::ShellDelete::recycle(path, listed);
        break;
    case Disposal::EraseEmptyFolder:
        done = platform::ShellDelete::eraseEmptyFolder(path, listed);
        break;
    }
    if (done)
        return {OutcomeKind::Deleted, path};
    return {OutcomeKind::Failed, path, 0, platform::ShellDelete::lastError(), platform::ShellDelete::lastReason()};
}

bool DisposeAll(const QList<Finding>& findings, Disposal how, const OutcomeSink& outcomes,
                const std::function<bool()>& stop)
{
    const platform::DeletionPass pass;
    for (const Finding& finding : findings) {
        if (stop && stop())
            return false;
        CleanOutcome outcome = finding.isProtected()
                                   ? CleanOutcome(OutcomeKind::Skipped, finding.path, 0, 0, reasonOf(finding.protection))
                                   : Dispose(finding.path, finding.id, how);
        outcome.size = finding.size;
        outcomes.report(outcome);
    }
    return true;
}

QString reasonOf(Protection why)
{
    switch (why) {
    case Protection::None:
        return {};
    case Protection::Packaged:
        return QStringLiteral("installed by a package");
    case Protection::SystemFolder:
        return QStringLiteral("in a system folder");
    case Protection::ExcludedFolder:
        return QStringLiteral("in an excluded folder");
    case Protection::InUse:
        return QStringLiteral("in use");
    case Protection::UserFiles:
        return QStringLiteral("holds the user's files");
    }
    return {};
}

} // namespace core
