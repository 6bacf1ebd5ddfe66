#include "platform/ShellDelete.h"

#include "posix/FileTree.h"
#include "posix/Handles.h"
#include "posix/HostErrors.h"
#include "posix/Trash.h"

#include <cerrno>
#include <optional>

namespace platform {

namespace {

constexpr int kFileNotFound = 2;
constexpr int kSharingViolation = 32;
constexpr int kDirNotEmpty = 145;
constexpr int kGeneralFailure = 31;

thread_local int lastDeleteError = 0;

// Keeps why the call failed (what the host said, when it said anything)
// and returns false.
bool failed(int windowsError)
{
    lastDeleteError = windowsError;
    return false;
}

bool failedWithHostError()
{
    return failed(errno ? posix::windowsErrorOf(errno) : kGeneralFailure);
}

int treeCheckError(posix::TreeCheck check)
{
    return check == posix::TreeCheck::HasContent ? kDirNotEmpty : kSharingViolation;
}

// The anchored entry of winPath when it may be deleted at all; otherwise
// nullopt, with lastDeleteError saying why. With onlyEmptyFolder, only a
// folder that holds nothing but folders and zero-byte files may be.
std::optional<posix::AnchoredEntry> deletable(const QString& winPath, const EntryId& listed, bool onlyEmptyFolder = false)
{
    errno = 0;
    std::optional<posix::AnchoredEntry> e = posix::anchor(winPath);
    if (!e) {
        failedWithHostError();
        return std::nullopt;
    }
    const std::optional<EntryId> now = posix::entryIdAt(e->parent.get(), e->name);
    if (!now || (listed.isKnown() && *now != listed)) {
        failed(kFileNotFound); // gone, or something else stands in its place
        return std::nullopt;
    }
    if (onlyEmptyFolder && now->kind != EntryKind::Folder) {
        failed(kFileNotFound); // a folder was listed; a file is no empty folder
        return std::nullopt;
    }
    if (now->kind == EntryKind::Special || (now->kind == EntryKind::Folder && posix::isMountRoot(e->parent.get(), e->name))) {
        failed(kSharingViolation);
        return std::nullopt;
    }
    if (now->kind == EntryKind::Folder) {
        const posix::TreeCheck check = posix::checkTree(e->parent.get(), e->name, onlyEmptyFolder);
        if (check != posix::TreeCheck::Deletable) {
            failed(treeCheckError(check));
            return std::nullopt;
        }
    }
    return e;
}

// Runs the deletion step on an entry found deletable, keeping its outcome.
template <class Step>
bool finish(const std::optional<posix::AnchoredEntry>& e, Step step)
{
    if (!e)
        return false;
    errno = 0;
    if (!step(*e))
        return failedWithHostError();
    lastDeleteError = 0;
    return true;
}

} // namespace

bool ShellDelete::recycle(const QString& winPath, const EntryId& listed)
{
    return finish(deletable(winPath, listed), [](const posix::AnchoredEntry& e) { return posix::Trash::moveIn(e); });
}

bool ShellDelete::erase(const QString& winPath, const EntryId& listed)
{
    return finish(deletable(winPath, listed),
                  [](const posix::AnchoredEntry& e) { return posix::removeTree(e.parent.get(), e.name); });
}

bool ShellDelete::eraseEmptyFolder(const QString& winPath, const EntryId& listed)
{
    return finish(deletable(winPath, listed, true),
                  [](const posix::AnchoredEntry& e) { return posix::removeTree(e.parent.get(), e.name); });
}

int ShellDelete::lastError()
{
    return lastDeleteError;
}

EntryId ShellDelete::idOf(const QString& winPath)
{
    const std::optional<posix::AnchoredEntry> e = posix::anchor(winPath);
    if (!e)
        return {};
    return posix::entryIdAt(e->parent.get(), e->name).value_or(EntryId{});
}

} // namespace platform
