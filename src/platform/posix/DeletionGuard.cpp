#include "posix/DeletionGuard.h"

#include "platform/PackageFiles.h"
#include "platform/TmpfilesExclusions.h"
#include "platform/WinError.h"
#include "posix/Handles.h"
#include "posix/SharedFolders.h"

#include <cerrno>
#include <chrono>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace platform::posix {

namespace {

using WinError::AccessDenied;
using WinError::PathNotFound;
using WinError::SharingViolation;

struct PassState {
    int depth = 0;
    std::optional<HeldEntries> held;
    std::chrono::steady_clock::time_point takenAt;
    bool inUseCheck = true;
};

// How old a pass's look at /proc may grow. Files opened since are caught
// by a lease at the unlink itself; folders, working folders and mappings
// have no such check, so the look is taken anew this often.
constexpr std::chrono::milliseconds kSnapshotLife{1000};

thread_local PassState pass;

} // namespace

void DeletionGuard::openPass()
{
    if (pass.depth++ == 0)
        pass.held.reset(); // taken at the pass's first deletion
}

void DeletionGuard::closePass()
{
    if (pass.depth > 0 && --pass.depth == 0)
        pass.held.reset();
}

void DeletionGuard::setInUseCheck(bool on)
{
    pass.inUseCheck = on;
}

DeletionGuard::DeletionGuard()
{
    if (!pass.inUseCheck)
        return;
    if (pass.depth > 0) {
        const auto now = std::chrono::steady_clock::now();
        if (!pass.held || now - pass.takenAt > kSnapshotLife) {
            pass.held = HeldEntries::snapshot();
            pass.takenAt = std::chrono::steady_clock::now();
        }
        held_ = &*pass.held;
    } else {
        own_ = HeldEntries::snapshot();
        held_ = &*own_;
    }
}

int DeletionGuard::refusal(const AnchoredEntry& entry, const struct statx& st)
{
    // The kernel names folders up to a page long; a deeper one is judged by
    // the path the anchoring walked, which no link can bend.
    const QByteArray walked = entry.hostPath.left(entry.hostPath.size() - entry.name.size());
    const QByteArray folder = folderPathOf(entry.parent.get(), walked);
    if (folder.isEmpty()) {
        reason_ = "the folder holding it was removed meanwhile";
        return PathNotFound;
    }
    const QByteArray path = joinedPath(folder, entry.name);
    if (PackageFiles::contains(path)) {
        reason_ = "installed by a package";
        return AccessDenied;
    }
    if (TmpfilesExclusions::excludes(path)) {
        reason_ = "excluded by the system's tmpfiles rules";
        return AccessDenied;
    }
    // Only the entry's own owner counts, not the folders on the way: a walk
    // never enters another user's folder below a shared one, so nothing of
    // the user's is listed there.
    const bool below = liesInSharedFolder(folder);
    shared_ = below || isSharedFolder(st.stx_mode);
    const int why = keeps(st, below);
    reason_ = why == SharingViolation ? "in use by a running process"
        : why                          ? "another user's, in a shared folder"
                                       : "";
    return why;
}

int DeletionGuard::keeps(const struct statx& st, bool inShared) const
{
    if (held_ && held_->holds(makedev(st.stx_dev_major, st.stx_dev_minor), st.stx_ino))
        return SharingViolation;
    if (inShared && st.stx_uid != currentUser())
        return AccessDenied;
    return 0;
}

int hostErrorOfRefusal(int windowsError)
{
    return windowsError == SharingViolation ? EBUSY : EACCES;
}

} // namespace platform::posix
