#include "cleaners/files/ZeroByteFiles.h"

namespace ZeroByteFiles {

bool qualifies(const QString& path, const platform::FolderListing::Found& entry, const std::function<bool()>& packaged,
               TdcFileInfo& info)
{
    // The walker's own look decides before the file information is read.
    if (entry.id.kind != platform::EntryKind::File || entry.size != 0 || packaged())
        return false;
    info.SetFILENAME(path);
    return info.Found() && info.FileSize == 0;
}

} // namespace ZeroByteFiles
