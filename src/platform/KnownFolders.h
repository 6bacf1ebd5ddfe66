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

    // The Windows folder without a trailing backslash: VARNEL_WINDIR when it
    // is set, else c:\windows (which a Linux host normally lacks, so no
    // machine-wide folder is emptied or protected by default; inside a Wine
    // prefix it is the prefix's own).
    static QString windowsDir();

    // The folder of the running program with a trailing backslash.
    static QString appDir();

    // Makes appDir() answer hostFolder instead (tests point it into a
    // sandbox that copies the program folder's layout); an empty folder
    // restores the real one.
    static void overrideAppDir(const QByteArray& hostFolder);
};

} // namespace platform
