#pragma once
// How the empty-folder finder judges what its walker listed: a folder that
// holds a listed folder is not itself offered, and a folder is empty only
// while nothing in it may not be judged. The window and the command line
// both list exactly what these leave.

#include "cleaners/files/TFindDirs.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace EmptyFolders {

// The positions of texts that another, longer text begins with (the
// listed folders that hold listed folders), in ascending order.
QList<int> parentRows(const QStringList& texts);

// The size of what the folder at path holds, reading as far as the first
// content: 0 for a folder of folders and zero-byte files only. What is not
// the user's (another user's entries in a shared folder, what the package
// manager installed), a socket, FIFO or device, and another file system
// mounted inside all count as content. 0 for a folder that cannot be read.
quint64 contentSize(const QString& path);

// The positions of paths that are not empty or are folders of the Wine
// prefix's own skeleton, in ascending order. contents, when given, holds
// what the walk that found them judged of each (same positions): a folder
// it judged is not read again; one it did not (Unknown, or past the end of
// contents) is read by contentSize.
QList<int> nonEmptyRows(const QStringList& paths, const QList<TFindDirs::Contents>& contents = {});

} // namespace EmptyFolders
