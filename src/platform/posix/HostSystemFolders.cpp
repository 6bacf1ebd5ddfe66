#include "platform/HostSystemFolders.h"

#include "platform/PathMapper.h"
#include "platform/RunEnvironment.h"
#include "platform/WinePrefix.h"

#include <QList>

namespace platform {

namespace {

bool isSystemTop(const QByteArray& name)
{
    static const QList<QByteArray> tops{"bin", "boot", "etc", "lib", "lib32", "lib64", "libx32",
                                        "opt", "sbin", "srv", "usr", "var"};
    return tops.contains(name);
}

} // namespace

bool HostSystemFolders::standInForWindows()
{
    return RunEnvironment::current().windowsFolderInForce().isEmpty() && !WinePrefix::active();
}

bool HostSystemFolders::holds(const QByteArray& hostPath)
{
    if (!hostPath.startsWith('/'))
        return true;
    const QList<QByteArray> parts = hostPath.split('/');
    QList<QByteArray> names;
    for (const QByteArray& part : parts) {
        if (part == "." || part == "..")
            return true;
        if (!part.isEmpty())
            names.append(part);
    }
    if (names.size() <= 1)
        return true; // "/" itself or an entry directly in it
    if (!isSystemTop(names[0]))
        return false;
    // /var/tmp is where anyone's temporary files outlive a restart.
    return !(names[0] == "var" && names[1] == "tmp" && names.size() > 2);
}

bool HostSystemFolders::holdsWindowsPath(const QString& winPath)
{
    const QByteArray host = PathMapper::toHostAsWritten(winPath);
    return !host.isEmpty() && holds(host);
}

} // namespace platform
