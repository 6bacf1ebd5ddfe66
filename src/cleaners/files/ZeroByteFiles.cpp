#include "cleaners/files/ZeroByteFiles.h"

namespace ZeroByteFiles {

bool qualifies(const platform::FolderListing::Found& entry, const std::function<bool()>& packaged,
               const std::function<platform::FolderListing::Found()>& again)
{
    // The walker's own look decides before anything more is read.
    if (entry.id.kind != platform::EntryKind::File || entry.size != 0 || packaged())
        return false;
    const platform::FolderListing::Found now = again();
    return now.id == entry.id && now.size == 0;
}

} // namespace ZeroByteFiles
