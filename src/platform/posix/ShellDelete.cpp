#include "platform/ShellDelete.h"

#include "platform/Diagnostics.h"
#include "platform/WinError.h"
#include "posix/DeletionGuard.h"
#include "posix/FileTree.h"
#include "posix/Handles.h"
#include "posix/HostErrors.h"
#include "posix/Trash.h"
#include "posix/WriteLease.h"

#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace platform {

namespace {

using namespace WinError;

thread_local int lastDeleteError = 0;
thread_local QString lastDeleteReason;

// Keeps why the call failed (what the host said, when it said anything)
// and returns false.
bool failed(int windowsError)
{
    lastDeleteError = windowsError;
    return false;
}

// failed(), telling the diagnostics which entry was refused and why.
bool refused(const QString& winPath, int windowsError, const char* why)
{
    qCInfo(lcDelete, "refused %ls: %s (error %d)", qUtf16Printable(winPath), why, windowsError);
    lastDeleteReason = QString::fromUtf8(why);
    return failed(windowsError);
}

const char* treeCheckReason(posix::TreeCheck check)
{
    switch (check) {
    case posix::TreeCheck::HasSpecialEntry:
        return "a socket, FIFO or device inside";
    case posix::TreeCheck::HasMountPoint:
        return "another file system mounted inside";
    case posix::TreeCheck::Unreadable:
        return "a folder inside cannot be read";
    case posix::TreeCheck::HasContent:
        return "the folder listed as empty has content now";
    default:
        return "something inside must stay";
    }
}

// failed() with what the host said. A number the table has no code for is
// reported as a general failure; the diagnostics keep the host's own number
// so that it is not lost.
bool failedWithHostError(const char* verb, const QString& winPath, const char* what)
{
    const int host = errno;
    lastDeleteReason = host ? qt_error_string(host) : QStringLiteral("the host gave no reason");
    const int code = host ? posix::windowsErrorOf(host) : GeneralFailure;
    if (code == GeneralFailure)
        qCInfo(lcDelete, "%s %ls: %s: %ls (error %d, host error %d)", verb, qUtf16Printable(winPath), what,
               qUtf16Printable(lastDeleteReason), code, host);
    else
        qCInfo(lcDelete, "%s %ls: %s: %ls (error %d)", verb, qUtf16Printable(winPath), what,
               qUtf16Printable(lastDeleteReason), code);
    return failed(code);
}

int treeCheckError(posix::TreeCheck check)
{
    return check == posix::TreeCheck::HasContent ? DirNotEmpty : SharingViolation;
}

enum class Mode { Recycle, Erase, EraseEmptyFolder };

// The anchored entry of winPath when it may be deleted at all; otherwise
// nullopt, with lastDeleteError saying why. For EraseEmptyFolder, only a
// folder that holds nothing but folders and zero-byte files may be. What
// the guard says must stay refuses the whole entry, except that erasing a
// folder leaves such entries inside in place and takes the rest.
std::optional<posix::AnchoredEntry> deletable(const QString& winPath, const EntryId& listed, Mode mode,
                                              posix::DeletionGuard& guard)
{
    errno = 0;
    std::optional<posix::AnchoredEntry> e = posix::anchor(winPath);
    if (!e) {
        failedWithHostError("refused", winPath, "not reached from its drive's root without a link");
        return std::nullopt;
    }
    struct statx st {};
    if (!posix::statEntryAt(e->parent.get(), e->name.constData(), st)
        || (listed.isKnown() && posix::entryIdOf(st) != listed)) {
        refused(winPath, FileNotFound, "gone, or no longer the entry that was listed");
        return std::nullopt;
    }
    const EntryKind kind = posix::entryIdOf(st).kind;
    if (mode == Mode::EraseEmptyFolder && kind != EntryKind::Folder) {
        refused(winPath, FileNotFound, "a folder was listed and this is none");
        return std::nullopt;
    }
    if (kind == EntryKind::Special || (kind == EntryKind::Folder && posix::isMountRoot(e->parent.get(), e->name))) {
        refused(winPath, SharingViolation, "a socket, FIFO, device or mount point");
        return std::nullopt;
    }
    if (const int why = guard.refusal(*e, st)) {
        refused(winPath, why, guard.reason());
        return std::nullopt;
    }
    if (kind == EntryKind::Folder) {
        int kept = 0;
        const auto keptEntries = mode == Mode::Erase ? posix::KeptEntries::LeaveInPlace : posix::KeptEntries::Refuse;
        const posix::TreeCheck check = posix::checkTree(e->parent.get(), e->name, mode == Mode::EraseEmptyFolder,
                                                        &guard, keptEntries, &kept);
        if (check == posix::TreeCheck::HasKeptEntry) {
            refused(winPath, kept,
                    kept == SharingViolation ? "an entry inside is in use by a running process"
                                              : "an entry inside is another user's");
            return std::nullopt;
        }
        if (check != posix::TreeCheck::Deletable) {
            refused(winPath, treeCheckError(check), treeCheckReason(check));
            return std::nullopt;
        }
    }
    return e;
}

// Runs the deletion step on an entry found deletable, keeping its outcome.
template <class Step> bool finish(const QString& winPath, const std::optional<posix::AnchoredEntry>& e, Step step)
{
    if (!e)
        return false;
    errno = 0;
    if (!step(*e)) {
        failedWithHostError("failed", winPath, "some of it may stay");
        return false;
    }
    lastDeleteError = 0;
    lastDeleteReason.clear();
    return true;
}

} // namespace

bool ShellDelete::recycle(const QString& winPath, const EntryId& listed)
{
    posix::DeletionGuard guard;
    return finish(winPath, deletable(winPath, listed, Mode::Recycle, guard), [](const posix::AnchoredEntry& e) {
        // A file opened since the guard's snapshot is in use all the same.
        // The move may have to copy the file, and a lease held across that
        // would stall the copy's own open: asked just before, not held.
        struct statx st {};
        if (posix::statEntryAt(e.parent.get(), e.name.constData(), st)
            && posix::openElsewhere(e.parent.get(), e.name, st)) {
            errno = EBUSY;
            return false;
        }
        return posix::Trash::moveIn(e);
    });
}

bool ShellDelete::erase(const QString& winPath, const EntryId& listed)
{
    posix::DeletionGuard guard;
    return finish(winPath, deletable(winPath, listed, Mode::Erase, guard), [&guard](const posix::AnchoredEntry& e) {
        return posix::removeTree(e.parent.get(), e.name, &guard);
    });
}

bool ShellDelete::eraseEmptyFolder(const QString& winPath, const EntryId& listed)
{
    posix::DeletionGuard guard;
    return finish(
        winPath, deletable(winPath, listed, Mode::EraseEmptyFolder, guard),
        [&guard](const posix::AnchoredEntry& e) { return posix::removeTree(e.parent.get(), e.name, &guard); });
}

int ShellDelete::lastError()
{
    return lastDeleteError;
}

QString ShellDelete::lastReason()
{
    return lastDeleteReason;
}

EntryId ShellDelete::idOf(const QString& winPath)
{
    const std::optional<posix::AnchoredEntry> e = posix::anchor(winPath);
    if (!e)
        return {};
    return posix::entryIdAt(e->parent.get(), e->name).value_or(EntryId{});
}

} // namespace platform
