#pragma once
// The rules that keep found files from deletion after a search: files in
// the system folders and directly in "c:\" (when Delete/InSysFolders is
// "Yes"), and files below the user's enabled excluded folders. A finding
// carries its protection as a field and a count of skip markers the list
// shows in front of it; these rules add to both, never read a caption.

#include "core/Finding.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class ProtectionRules {
public:
    // The rules as the settings say at this moment: InSysFolders, the
    // Windows folder and the excluded folders are read once, here (the list
    // never beyond its first 10 000 entries).
    ProtectionRules();

    // The system-folder rule for a finding at path that has markers
    // markers so far: one marker for a file directly in "c:\" and one for a
    // file in the Windows System folders (both when both hold). Where the
    // program has no Windows folder, the host's system folders take their
    // place and the finding is marked once when either holds. A finding
    // already marked is left as it is.
    void markSystem(const QString& path, core::Protection& why, quint8& markers) const;

    // The excluded-folder rule: a finding whose path begins with an enabled
    // excluded folder (without regard to case; a plain text prefix, so
    // "c:\temp" covers "c:\temporary\x") is marked once; an already marked
    // one matches no folder. When an enabled folder is empty or itself
    // begins with the marker, the folders are gone through one by one, each
    // adding a marker to every caption (markers and path) it begins.
    void markExcluded(const QString& path, core::Protection& why, quint8& markers) const;

    // Both, in that order, on the finding.
    void mark(core::Finding& finding) const;

private:
    bool systemOn_ = false;
    bool hostFolders_ = false;    // no Windows folder: the host's system folders stand in
    QString systemFolderUpper_;   // "<windows>\SYSTEM"
    bool folderByFolder_ = false; // an empty or marked excluded folder: the plain way, in order
    QStringList excluded_;        // in order, for the plain way
    QSet<QString> folded_;        // the excluded folders folded, for the quick way
    QList<qsizetype> lengths_;    // their lengths, ascending
};
