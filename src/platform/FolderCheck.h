#pragma once
// Whether a folder named by a registry value may be emptied: the commands
// that clear such a folder delete only inside a real folder on a fixed
// drive, never a drive root, never through a link.

#include <QString>

namespace platform {

class FolderCheck {
public:
    // True when winPath is an absolute path on a fixed drive, is not the
    // drive's root, and it and every folder above it up to the drive root
    // are real folders (no link among them).
    static bool isPlainFolder(const QString& winPath);

    // The host folder that hostPath names, links resolved, without a
    // trailing "/" except for the root; hostPath cleaned up as written when
    // it does not exist. Empty for an empty path.
    static QString realHostFolder(const QByteArray& hostPath);

    // The user's home folder on the host, links resolved.
    static QString realHomeFolder();
};

} // namespace platform
