#pragma once
// A copy of the package set's hashes on disk, so that a cold start reads one
// small file instead of some hundreds of package lists. It lives in
// $XDG_CACHE_HOME/varnel/packages.cache (~/.cache when the variable is unset
// or relative) and is used only when all of these hold: the key it was saved
// under equals the caller's (the lists' folder, its and the diversions'
// modification times), each first-folder link it names still points where it
// did, and the file is whole (sizes, sorted hashes, checksum). The file and
// its folder are opened without following a link and must be this user's
// alone; anything else is read past as if there were no cache. It answers
// membership only, as the lists would.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QtGlobal>

#include <vector>

namespace platform::posix {

struct PackageFilesCacheContent {
    std::vector<size_t> hashes;            // sorted, unique
    QList<QPair<QByteArray, QByteArray>> tops; // first folders and where their links point ("" for none)
    qsizetype lists = 0;                    // list files the hashes came from
};

// Fills content from the cache saved under key. False, leaving content
// empty, when there is none, it was saved under another key, a link it names
// points elsewhere now, or it is damaged or not this user's alone.
bool loadPackageFilesCache(const QByteArray& key, PackageFilesCacheContent& content);

// Saves content under key, replacing the file in one rename. Never fails
// loudly: a cache that cannot be written is simply not there next time.
void savePackageFilesCache(const QByteArray& key, const PackageFilesCacheContent& content);

} // namespace platform::posix
