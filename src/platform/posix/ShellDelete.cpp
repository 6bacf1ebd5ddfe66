#include "platform/ShellDelete.h"

#include "posix/FileTree.h"
#include "posix/Handles.h"
#include "posix/Trash.h"

#include <optional>

namespace platform {

namespace {

// The anchored entry of winPath when it may be deleted at all.
std::optional<posix::AnchoredEntry> deletable(const QString& winPath, const EntryId& listed, bool onlyEmpty = false)
{
    std::optional<posix::AnchoredEntry> e = posix::anchor(winPath);
    if (!e)
        return std::nullopt;
    const std::optional<EntryId> now = posix::entryIdAt(e->parent.get(), e->name);
    if (!now || (listed.isKnown() && *now != listed))
        return std::nullopt; // gone, or something else stands in its place
    if (now->kind == EntryKind::Special)
        return std::nullopt;
    if (now->kind == EntryKind::Folder
        && (posix::isMountRoot(e->parent.get(), e->name)
            || posix::checkTree(e->parent.get(), e->name, onlyEmpty) != posix::TreeCheck::Deletable))
        return std::nullopt;
    return e;
}

} // namespace

bool ShellDelete::recycle(const QString& winPath, const EntryId& listed)
{
    const std::optional<posix::AnchoredEntry> e = deletable(winPath, listed);
    return e && posix::Trash::moveIn(*e);
}

bool ShellDelete::erase(const QString& winPath, const EntryId& listed)
{
    const std::optional<posix::AnchoredEntry> e = deletable(winPath, listed);
    return e && posix::removeTree(e->parent.get(), e->name);
}

bool ShellDelete::eraseEmptyFolder(const QString& winPath, const EntryId& listed)
{
    const std::optional<posix::AnchoredEntry> e = deletable(winPath, listed, true);
    return e && posix::entryIdAt(e->parent.get(), e->name).value_or(EntryId{}).kind == EntryKind::Folder
        && posix::removeTree(e->parent.get(), e->name);
}

EntryId ShellDelete::idOf(const QString& winPath)
{
    const std::optional<posix::AnchoredEntry> e = posix::anchor(winPath);
    if (!e)
        return {};
    return posix::entryIdAt(e->parent.get(), e->name).value_or(EntryId{});
}

} // namespace platform
