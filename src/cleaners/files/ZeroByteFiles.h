#pragma once
// How the zero-byte finder judges what its walker matched. The window and
// the command line both offer exactly the files this accepts.

#include "platform/FolderListing.h"

#include <functional>

namespace ZeroByteFiles {

// Whether the match the walker saw as entry is a zero-byte file to offer.
// Only a regular file that the walker saw empty counts (a FIFO or socket
// has no size to speak of and is never junk), never one a package
// installed (an empty __init__.py is part of its package), and only while
// a second look at it (again) still finds the same file, still empty. The
// walker's look and the second one are both taken relative to the folder
// it holds open, so no path is resolved again: nothing swapped into a
// parent folder in between redirects the answer. A file that vanished in
// between is passed over. packaged and again are asked only of an empty
// regular file (the package look-up hashes the whole path, and a search
// meets every file).
bool qualifies(const platform::FolderListing::Found& entry, const std::function<bool()>& packaged,
               const std::function<platform::FolderListing::Found()>& again);

} // namespace ZeroByteFiles
