#pragma once
// The folders the program needs to know, in Windows form.

#include <QString>

namespace platform {

class KnownFolders {
public:
    // The temporary-files folder with a trailing backslash: $TMPDIR, else
    // /tmp. Inside a Wine prefix: the TEMP of the prefix's user environment
    // (expanded), else the Windows folder's temp.
    static QString tempDir();

    // The Windows folder without a trailing backslash: the run
    // environment's, or VARNEL_WINDIR, when set, else c:\windows (which a Linux host normally lacks, so no
    // machine-wide folder is emptied or protected by default; inside a Wine
    // prefix it is the prefix's own).
    static QString windowsDir();

    // The folder of the running program (or the run environment's program
    // folder) with a trailing backslash: the libraries and Plugins/ sit
    // there.
    static QString appDir();

    // The files the program writes itself.
    enum class ProgramFile { Settings, PluginList, HandOver };

    // Where one of them lives, in Windows form. Beside the program while
    // the program folder is the user's own and nobody else may write it (a
    // build or a copy of its own);
    // otherwise, for a program installed into a folder of the system's,
    // varnel.ini goes to $XDG_CONFIG_HOME/varnel/ (~/.config/varnel/) and
    // plugins.list and fs.txt to $XDG_STATE_HOME/varnel/
    // (~/.local/state/varnel/), that folder made (0700) when missing. Every
    // reader and writer of these files asks here.
    static QString programFile(ProgramFile which);

    // The user's data folder, host form, as Qt's standard paths name it:
    // $XDG_DATA_HOME when it is an absolute path, else ~/.local/share. The
    // registry, the recent-files list, the home trash and the user's
    // plug-ins live below it; each of them asks here.
    static QByteArray dataHome();

    // The user's own plug-in folder, loaded after the program's Plugins/:
    // $XDG_DATA_HOME/varnel/Plugins (~/.local/share/varnel/Plugins), host
    // form, whether it exists or not.
    static QByteArray userPluginFolder();
};

} // namespace platform
