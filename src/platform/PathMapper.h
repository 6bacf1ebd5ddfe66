#pragma once
// Converts between the program's Windows-form paths and host paths, and
// keeps the program's current directory.
//
// Windows form -> host: the drive's root, then the components split on "\"
// (or "/"); "." is dropped and ".." goes up, never above the drive root. A
// component that does not exist as written is looked up without regard to
// case (first match in name order), since the program upper-cases paths.
// Host -> Windows form: the drive whose root is the longest prefix, else z:.

#include <QByteArray>
#include <QString>

namespace platform {

class PathMapper {
public:
    // Host path of winPath (absolute, drive-relative, rooted "\x" or relative
    // to the current directory). Empty when the drive letter is unknown or
    // the path is a network (UNC) path. Touches the disk only to resolve
    // letter case; components that do not exist are kept as written.
    static QByteArray toHost(const QString& winPath);

    // Host path of winPath with every component as written, without
    // touching the disk (no case lookup). Empty as for toHost().
    static QByteArray toHostAsWritten(const QString& winPath);

    // Windows form of an absolute host path ("c:\dir\name"; a drive root is
    // "c:\"). A relative host path is taken relative to the process folder.
    static QString toWindows(const QByteArray& hostPath);

    // The program's current directory in Windows form with a trailing
    // backslash. Starts as the process folder; never calls chdir.
    static QString currentDirectory();

    // Makes winPath the current directory. Fails (returns false, nothing
    // changed) when it does not name an existing folder.
    static bool setCurrentDirectory(const QString& winPath);

    // True when winPath is the root folder of a drive ("c:\", "D:").
    static bool isDriveRoot(const QString& winPath);
};

} // namespace platform
