#pragma once
// The host's own system folders, standing in for the Windows folder where
// the program has none. "Do not delete files in Windows' system folders and
// at the root of drive C:" protects nothing on a host without a Windows
// folder; there the folders the host's system lives in are protected
// instead, compared as host paths so that no drive letter or spelling of a
// path can take a file out of them.

#include <QByteArray>
#include <QString>

namespace platform {

class HostSystemFolders {
public:
    // True when the program has no Windows folder: VARNEL_WINDIR is unset
    // and no Wine prefix is active. Only then do the host's folders count.
    static bool standInForWindows();

    // True when the absolute host path names an entry directly in "/", or
    // below one of /bin, /boot, /etc, /lib, /lib32, /lib64, /libx32, /opt,
    // /sbin, /srv, /usr and /var, except what lies below /var/tmp (the
    // folders themselves count too). Repeated slashes count as one; a path
    // with a "." or ".." component, or no absolute path at all, is taken to
    // be one (nothing can be told about it).
    static bool holds(const QByteArray& hostPath);

    // holds() for the host path a Windows-form path names, mapped as
    // written (the spelling a walk listed it by). False for a path that
    // maps to no host path (unknown drive, network path).
    static bool holdsWindowsPath(const QString& winPath);
};

} // namespace platform
