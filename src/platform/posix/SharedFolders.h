#pragma once
// Folders that several users drop entries into, like /tmp: sticky and
// writable by the group or by others. Windows gives each user a temporary
// folder of their own; here the user's temporary files are only the entries
// of such a folder that the user owns, and what another user put there is
// neither listed nor deleted, at any depth below it.

#include <QByteArray>

#include <sys/types.h>

namespace platform::posix {

// True for the mode of a shared folder.
bool isSharedFolder(mode_t mode);

// True when the folder at hostFolder (absolute, links resolved) or one of
// the folders above it is shared. Looks each of them up by path: an answer
// for listing, not a handle to act on.
bool liesInSharedFolder(const QByteArray& hostFolder);

// The user the program runs as.
uid_t currentUser();

} // namespace platform::posix
