#pragma once
// A walker that lists folders only, in post-order (a folder's sub-folders
// before the folder), skipping hidden and system folders: neither listed nor
// entered. It lets no messages run while it walks.
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
