#pragma once
// How the zero-byte finder judges what its walker matched. The window and
// the command line both offer exactly the files this accepts.

#include "cleaners/files/TdcFileInfo.h"
#include "platform/FolderListing.h"

#include <functional>

namespace ZeroByteFiles {

// Whether the match at path is a zero-byte file to offer. Only a regular
// file that the walker saw empty counts (a FIFO or socket has no size to
// speak of and is never junk), never one a package installed (an empty
// __init__.py is part of its package), and only while reading it through
// info still finds it empty. A file that cannot be read is passed over.
// info is the caller's, made once for a whole search; packaged is asked
// only of an empty regular file (the look-up hashes the whole path, and a
// search meets every file).
bool qualifies(const QString& path, const platform::FolderListing::Found& entry, const std::function<bool()>& packaged,
               TdcFileInfo& info);

} // namespace ZeroByteFiles
