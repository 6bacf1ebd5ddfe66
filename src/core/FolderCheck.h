#pragma once
// Whether a folder named by a registry value may be emptied. The commands
// that clear such a folder (recent documents, history, the browser's cache
// and cookies) trust a value anyone can write, so one guard decides for all
// of them: only a real folder on a fixed drive, reached without a link,
// that is none of the folders Windows itself keeps (the drive roots, the
// Windows and Program Files folders, the profile, the other shell folders).

#include <QByteArray>
#include <QString>

namespace core {

// The guard's answer for one folder.
struct EmptiableFolder {
    enum class State {
        Refused, // must never be emptied (or is no folder path at all)
        Missing, // may be emptied, but nothing is there
        Present, // may be emptied; path is how the disk spells it
    };
    State state = State::Refused;
    // Present: the folder with every component as the disk spells it (the
    // drive as written), so a walk and a deletion that take names exactly
    // as spelled find it. Missing: the value cleaned up. Refused: empty.
    QString path;
};

class FolderCheck {
public:
    // Judges winPath, the folder that the value valueName of the current
    // user's Shell Folders key names, for a command that empties it.
    //
    // Refused: anything but an absolute path on a fixed drive without "."
    // or ".." components; a path through a link or through something that
    // is not a folder; a drive root; the Windows folder and everything
    // below it; both Program Files folders of the system drive and what
    // the machine's ProgramFilesDir values name, with everything below
    // them; the profile folder (c:\users\<name> in a prefix, the home
    // folder's Windows form on the host), the home folder, and every other
    // value of the user's and the machine's Shell Folders keys; a folder
    // holding any of those. Components are found without regard to case,
    // as Windows finds them; folders are compared by where links lead on
    // the host as well as by their Windows form.
    static EmptiableFolder emptiable(const QString& winPath, const QString& valueName);

    // Whether the junk search may empty winFolder as a temporary folder
    // (the temporary folder or the Windows folder's Temp). Inside a Wine
    // prefix the prefix's registry names it, and anyone may write that: it
    // must lie on a fixed drive of the prefix, be reached from the drive's
    // root without a link and without "." or "..", and really lie inside
    // that drive's folder. Everywhere it must be an absolute folder path
    // that is neither a drive root, the host's root, the Windows or the
    // profile folder, nor the home folder, nor any folder holding one of
    // them. A folder that does not exist may be emptied: nothing is there.
    static bool temporaryEmptiable(const QString& winFolder);
};

} // namespace core
