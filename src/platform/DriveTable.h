#pragma once
// The machine's drives as the program sees them: a letter, the host folder
// that is its root, and a volume label.
//
// By default c: is the host root and every further local disk file system
// gets the next letter in mount-point order. The run environment's drives,
// or VARNEL_DRIVES ("c=/dir;d=/other"), replace that table. A host path under no drive belongs to z:, which is
// never a fixed drive (unless VARNEL_DRIVES names it).
//
// Inside a Wine prefix (see WinePrefix) the drives are the prefix's
// dosdevices links instead; the one whose target is the host root, or any
// folder holding the prefix, maps paths like z: but is never a fixed drive.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace platform {

struct FixedDrive {
    QChar letter;        // lower case
    QByteArray hostRoot; // absolute host folder, no trailing "/" except for "/"
    QString label;       // volume label, empty when the file system has none

    // The drive as the drive boxes list it: "c: label".
    QString caption() const { return QString(letter) + QStringLiteral(": ") + label; }
};

struct DriveSpace {
    quint64 totalBytes = 0;
    quint64 freeBytesForUser = 0;
};

// What else is known of a drive's file system; zeros and empty texts when
// the drive does not exist.
struct DriveDetails {
    QString fileSystem; // "ext4", "vfat", ...
    quint32 serialNumber = 0;
    quint32 bytesPerCluster = 0;
    quint64 totalClusters = 0;
    quint64 freeClusters = 0;
};

class DriveTable {
public:
    // The fixed drives in letter order. The table is read once and kept;
    // reload() reads it again. A changed VARNEL_DRIVES is noticed on its own.
    static QList<FixedDrive> fixedDrives();

    // The drive with this letter (either case): a fixed drive, or the z:
    // fallback that stands for the whole host tree. nullopt for other letters.
    static std::optional<FixedDrive> drive(QChar letter);

    // True when letter names one of fixedDrives().
    static bool isFixed(QChar letter);

    // Capacity and free space for the current user of the drive's file
    // system; zeros when the drive does not exist or cannot be measured.
    static DriveSpace space(QChar letter);

    // File-system name, serial number and cluster figures of the drive.
    static DriveDetails details(QChar letter);

    // True when the drive letters are the letters Windows programs meant:
    // the run environment says so, the user set the table (VARNEL_DRIVES),
    // or they are a Wine prefix's.
    // On the host's own table c: is
    // the host root, which is no Windows drive C:.
    static bool lettersAreWindows();

    // True when the process runs as the superuser over the default table:
    // no VARNEL_DRIVES, no Wine prefix, so c: is the host root and every
    // local disk a drive, and a deletion may reach anything on the machine.
    static bool reachesWholeSystem();

    // Forgets the cached table; the next call reads the mount table again.
    static void reload();
};

} // namespace platform
