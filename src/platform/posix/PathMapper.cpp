#include "platform/PathMapper.h"

#include "platform/DriveTable.h"
#include "formats/HostNameCodec.h"
#include "formats/NameOrder.h"
#include "formats/WinPath.h"

#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <optional>

namespace platform {

namespace {

struct SplitPath {
    QChar drive;
    QStringList components;
};

QString& currentDirState()
{
    static QString dir = [] {
        char buf[PATH_MAX];
        return formats::WinPath::includeTrailingBackslash(
            PathMapper::toWindows(::getcwd(buf, sizeof buf) ? QByteArray(buf) : QByteArray("/")));
    }();
    return dir;
}

// Applies the components of text to parts, resolving "." and "..".
void appendComponents(QStringList& parts, QStringView text)
{
    for (QStringView c : text.split(u'\\', Qt::SkipEmptyParts)) {
        if (c == u".")
            continue;
        if (c == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(c.toString());
    }
}

std::optional<SplitPath> split(QString path)
{
    path.replace(u'/', u'\\');
    if (path.startsWith(u"\\\\"))
        return std::nullopt; // network paths are not ours to touch
    SplitPath out;
    const QString current = PathMapper::currentDirectory();
    const QChar drive = formats::WinPath::driveLetter(path);
    if (drive.isNull()) {
        out.drive = formats::WinPath::driveLetter(current);
        if (!path.startsWith(u'\\'))
            appendComponents(out.components, QStringView(current).mid(2));
        appendComponents(out.components, path);
        return out;
    }
    out.drive = drive;
    QStringView rest = QStringView(path).mid(2);
    if (!rest.startsWith(u'\\') && formats::WinPath::driveLetter(current) == drive)
        appendComponents(out.components, QStringView(current).mid(2));
    appendComponents(out.components, rest);
    return out;
}

bool exists(const QByteArray& hostPath)
{
    struct stat st;
    return ::lstat(hostPath.constData(), &st) == 0;
}

QByteArray join(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The entry of folder whose name equals name without regard to case; the
// first in name order when several do. nullopt when none does.
std::optional<QByteArray> findIgnoringCase(const QByteArray& folder, const QString& name)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return std::nullopt;
    std::optional<QByteArray> best;
    QString bestText;
    while (const dirent* e = ::readdir(dir)) {
        const QString text = formats::HostNameCodec::decode(e->d_name, qstrlen(e->d_name));
        if (!formats::NameOrder::equalIgnoringCase(text, name))
            continue;
        if (!best || formats::NameOrder::less(text, bestText)) {
            best = QByteArray(e->d_name);
            bestText = text;
        }
    }
    ::closedir(dir);
    return best;
}

QByteArray resolve(const QByteArray& root, const QStringList& components)
{
    QByteArray exact = root;
    for (const QString& c : components)
        exact = join(exact, formats::HostNameCodec::encode(c));
    if (components.isEmpty() || exists(exact))
        return exact;

    QByteArray host = root;
    bool parentExists = true;
    for (const QString& c : components) {
        const QByteArray asWritten = join(host, formats::HostNameCodec::encode(c));
        if (parentExists && !exists(asWritten)) {
            if (const std::optional<QByteArray> found = findIgnoringCase(host, c)) {
                host = join(host, *found);
                continue;
            }
            parentExists = false;
        }
        host = asWritten;
    }
    return host;
}

QByteArray normalizeHost(const QByteArray& hostPath)
{
    QByteArray path = hostPath;
    if (!path.startsWith('/')) {
        char buf[PATH_MAX];
        path = QByteArray(::getcwd(buf, sizeof buf) ? buf : "/") + '/' + path;
    }
    QList<QByteArray> parts;
    for (const QByteArray& c : path.split('/')) {
        if (c.isEmpty() || c == ".")
            continue;
        if (c == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(c);
    }
    return '/' + parts.join('/');
}

bool isUnder(const QByteArray& path, const QByteArray& root)
{
    if (root == "/")
        return true;
    return path == root || (path.startsWith(root) && path.at(root.size()) == '/');
}

// The drive's host root and the path's components; nullopt for an unknown
// drive or a network path.
std::optional<std::pair<QByteArray, QStringList>> rootAndComponents(const QString& winPath)
{
    const std::optional<SplitPath> parts = split(winPath);
    if (!parts || parts->drive.isNull())
        return std::nullopt;
    const std::optional<FixedDrive> drive = DriveTable::drive(parts->drive);
    if (!drive)
        return std::nullopt;
    return std::make_pair(drive->hostRoot, parts->components);
}

} // namespace

QByteArray PathMapper::toHost(const QString& winPath)
{
    const auto parts = rootAndComponents(winPath);
    return parts ? resolve(parts->first, parts->second) : QByteArray();
}

QByteArray PathMapper::toHostAsWritten(const QString& winPath)
{
    const auto parts = rootAndComponents(winPath);
    if (!parts)
        return {};
    QByteArray host = parts->first;
    host.reserve(host.size() + winPath.size() * 2);
    for (const QString& c : parts->second) {
        if (!host.endsWith('/'))
            host.append('/');
        host.append(formats::HostNameCodec::encode(c));
    }
    return host;
}

QString PathMapper::toWindows(const QByteArray& hostPath)
{
    const QByteArray path = normalizeHost(hostPath);
    FixedDrive best{u'z', "/", {}};
    qsizetype bestLength = -1;
    for (const FixedDrive& d : DriveTable::fixedDrives()) {
        if (isUnder(path, d.hostRoot) && d.hostRoot.size() > bestLength) {
            best = d;
            bestLength = d.hostRoot.size();
        }
    }
    QString out = QString(best.letter) + QStringLiteral(":\\");
    const QByteArray rest = best.hostRoot == "/" ? path.mid(1) : path.mid(best.hostRoot.size() + 1);
    QStringList names;
    for (const QByteArray& c : rest.split('/'))
        if (!c.isEmpty())
            names.append(formats::HostNameCodec::decode(c));
    return out + names.join(u'\\');
}

QString PathMapper::currentDirectory()
{
    return currentDirState();
}

bool PathMapper::setCurrentDirectory(const QString& winPath)
{
    const QByteArray host = toHost(winPath);
    struct stat st;
    if (host.isEmpty() || ::stat(host.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    currentDirState() = formats::WinPath::includeTrailingBackslash(toWindows(host));
    return true;
}

bool PathMapper::isDriveRoot(const QString& winPath)
{
    const QChar drive = formats::WinPath::driveLetter(winPath);
    if (drive.isNull())
        return false;
    QStringView rest = QStringView(winPath).mid(2);
    return rest.isEmpty() || rest == u"\\" || rest == u"/";
}

} // namespace platform
