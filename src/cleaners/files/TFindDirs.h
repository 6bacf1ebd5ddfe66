#pragma once
// A walker that lists folders only, in post-order (a folder's sub-folders
// before the folder), skipping hidden and system folders: never listed, and
// entered only to judge a folder they sit in (below). It lets no messages
// run while it walks.
//
// The same walk judges whether each listed folder that lists no sub-folder
// holds content, as EmptyFolders::contentSize would on reading it again: a
// file with a size, a socket, FIFO or device, what the package manager
// installed, entries withheld as not the user's, another mount, anywhere in
// its sub-tree (hidden folders included). Nothing is read twice, and the
// readers ahead of the walk serve these reads as they serve the rest.
//
// Links are files here, so a link to a folder is neither listed nor
// followed; a folder of another mount is left alone as well.

#include "platform/EntryId.h"

#include <QList>
#include <QString>
#include <QStringList>

class TFindDirs {
public:
    // Where the walk begins, such as "C:\".
    QString StartDir;
    // Whether the walk descends; when false only StartDir's own sub-folders
    // are listed.
    bool Recursive = true;
    // The result, appended to by each walk (the caller empties it): the
    // parent's path, a backslash and the name, the first parent being
    // StartDir as given, so "C:\" gives "C:\\WINDOWS".
    QStringList DirsFound;
    // The id each entry of DirsFound had when found, in the same order
    // (appended to and emptied with it).
    QList<platform::EntryId> FoundIds;
    // What the walk found in each entry of DirsFound (same order, appended
    // to and emptied with it): Unknown for a folder the walk did not judge
    // (it lists a sub-folder, which alone keeps it from being offered, or
    // the walk did not enter it).
    enum class Contents : quint8 { Unknown, Nothing, Some };
    QList<Contents> FoundContents;

    // Makes StartDir the current directory (returning at once, with
    // DirsFound unchanged, when it cannot) and walks it. Throws EInOutError
    // when a sub-folder cannot be entered; what was found until then stays
    // in DirsFound and the current directory is the folder where the walk
    // stopped. After a complete walk the current directory is StartDir.
    void Execute();

    // The folder an entry of DirsFound names: the entry with a doubled
    // backslash after the drive taken out ("C:\\Windows" -> "C:\Windows").
    static QString PathOf(const QString& entry);

private:
    struct Visitor;
};
