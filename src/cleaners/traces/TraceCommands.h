#pragma once
// The one-step trace commands of the main window's add-ons menu: each does
// its work at once, swallows every failure and shows nothing; the window
// reports the fixed status text.

#include "cleaners/traces/TFindFile.h"

namespace TraceCommands {

// On the host, first empties the desktop's recent-files list
// (RecentFiles). Then lists the user's recent-documents folder (the "Recent" value of the
// user's Shell Folders key) with finder and deletes every listed file for
// good, skipping those that cannot go. Nothing is listed when the value is
// missing or names a folder that must never be emptied (see
// core::FolderCheck::emptiable): a drive root, a system or profile
// folder, another shell folder, a path through a link or off the drives.
void ClearRecentDocuments(TFindFile& finder);

// Clears the URL history through the platform's history store; nothing
// happens when there is none.
void ClearHistoryLists();

// Deletes the typed-address key with everything in it, then makes an empty
// one. False when the empty key could not be made or written (writes were
// refused).
bool ClearTypedUrls();

// The page-file flag: true when ClearPageFileAtShutdown is the integer 1.
// Any failure reads as false.
bool PagefileFlag();

// Writes ClearPageFileAtShutdown = on ? 1 : 0. True when the write took.
bool SetPagefileFlag(bool on);

} // namespace TraceCommands
