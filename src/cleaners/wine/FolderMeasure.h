#pragma once
// How much a leftover folder holds, measured once with the program's one
// folder walk (and its readers ahead): no link is followed, no other mount
// entered, and a prefix's dosdevices is never entered. For a prefix it also
// tells how much of it is the user's own: files below
// pfx/drive_c/users/<user>/ other than the temporary folders.

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>

class FolderMeasure {
public:
    struct Result {
        quint64 bytes = 0;     // every file's size (a link's own)
        quint64 userBytes = 0; // of those, the user's files
        quint64 userFiles = 0;
    };

    // Measures the folder at hostFolder; what cannot be read counts as
    // nothing. stop is asked per folder and ends the walk when it says yes.
    static Result measure(const QByteArray& hostFolder, bool prefix, const std::function<bool()>& stop = {});

    // Measures the sub-folders of hostFolder named in names in one walk, so
    // that the walk's readers go ahead across all of them: each name's result
    // as measure() gives it for that sub-folder.
    static QHash<QString, Result> measureChildren(const QByteArray& hostFolder, const QSet<QString>& names, bool prefix,
                                                  const std::function<bool()>& stop = {});

    // True when relative (a path below a prefix's compatdata folder, "\"
    // separated, ending in "\") is a folder whose files are the user's.
    static bool holdsUserFiles(QStringView relative);

private:
    static QHash<QString, Result> walk(const QByteArray& hostFolder, const QSet<QString>* children, bool prefix,
                                       const std::function<bool()>& stop);
};
