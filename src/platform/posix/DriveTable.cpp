#include "platform/DriveTable.h"

#include "platform/RunEnvironment.h"
#include "platform/WinePrefix.h"
#include "posix/MountTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

namespace {

using posix::MountEntry;
using posix::MountTable;

QByteArray realPath(const QByteArray& path)
{
    char buf[PATH_MAX];
    return ::realpath(path.constData(), buf) ? QByteArray(buf) : path;
}

// by-label names escape unusual bytes as \xHH.
QString unescapeLabel(const QString& name)
{
    QByteArray raw = QFile::encodeName(name), out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
            bool ok = false;
            const int v = raw.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(raw[i]);
    }
    return QString::fromUtf8(out);
}

// Device node (resolved) -> volume label.
QHash<QByteArray, QString> readLabels()
{
    QHash<QByteArray, QString> labels;
    QDir dir(QStringLiteral("/dev/disk/by-label"));
    for (const QString& name : dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        labels.insert(realPath(QFile::encodeName(dir.filePath(name))), unescapeLabel(name));
    return labels;
}

QString labelOfMountPoint(const QByteArray& folder, const QList<MountEntry>& mounts,
                          const QHash<QByteArray, QString>& labels)
{
    QString label;
    for (const MountEntry& m : mounts) // the last mount on a folder is the visible one
        if (m.mountPoint == folder)
            label = labels.value(realPath(m.source));
    return label;
}

QList<FixedDrive> defaultTable()
{
    const QList<MountEntry> mounts = MountTable::read();
    const QHash<QByteArray, QString> labels = readLabels();
    QList<FixedDrive> drives{{u'c', "/", labelOfMountPoint("/", mounts, labels)}};
    std::map<QByteArray, QByteArray> points; // ordered by mount point; the disk mounted there
    QSet<QByteArray> taken;                   // the disks that are a drive already
    for (const MountEntry& m : mounts) {
        if (m.mountPoint == "/") {
            taken = {m.source}; // the last mount on "/" is the one c: shows
            continue;
        }
        if (m.root != "/" || !m.source.startsWith("/dev/"))
            continue;
        if (MountTable::isDiskFileSystem(m.fsType))
            points[m.mountPoint] = m.source;
        else
            points.erase(m.mountPoint);
    }
    // A disk mounted twice (a bind mount of a whole file system, a backup
    // tool's second mount of /) is one drive: under a second letter its
    // files would escape what is judged by path, such as a package's files.
    char letter = 'd';
    for (const auto& [point, source] : points) {
        if (letter > 'y' || taken.contains(source) || !QFileInfo(QFile::decodeName(point)).isDir())
            continue;
        taken.insert(source);
        drives.append({QChar(letter++), point, labelOfMountPoint(point, mounts, labels)});
    }
    return drives;
}

QByteArray normalizedRoot(QByteArray root)
{
    while (root.size() > 1 && root.endsWith('/'))
        root.chop(1);
    return root;
}

QList<FixedDrive> tableFromVariable(const QByteArray& spec)
{
    const QList<MountEntry> mounts = MountTable::read();
    const QHash<QByteArray, QString> labels = readLabels();
    std::map<char, FixedDrive> byLetter;
    for (const QByteArray& item : spec.split(';')) {
        const qsizetype eq = item.indexOf('=');
        const QByteArray letter = item.left(eq).trimmed().toLower();
        QByteArray root = normalizedRoot(item.mid(eq + 1).trimmed());
        // A root given through a link stands for the folder it leads to:
        // walks report paths as the disk has them, below the real root.
        char real[PATH_MAX];
        if (root.startsWith('/') && ::realpath(root.constData(), real))
            root = normalizedRoot(QByteArray(real));
        if (eq < 0 || letter.size() != 1 || letter[0] < 'a' || letter[0] > 'z' || !root.startsWith('/'))
            continue;
        byLetter[letter[0]] = {QChar(letter[0]), root, labelOfMountPoint(root, mounts, labels)};
    }
    QList<FixedDrive> drives;
    for (const auto& [letter, drive] : byLetter)
        drives.append(drive);
    return drives;
}

// A Wine prefix's drives: the links "c:" ... "z:" in its dosdevices folder.
// The drive whose target is the host root only maps paths (rootLetter): a
// search never leaves the prefix through it. Nor through a drive that holds
// the prefix itself (a link to the home folder, say): that reaches far
// beyond what the prefix's programs keep, so it maps nothing either.
QList<FixedDrive> tableFromPrefix(const QByteArray& prefix, QChar& rootLetter)
{
    const QList<MountEntry> mounts = MountTable::read();
    const QHash<QByteArray, QString> labels = readLabels();
    QList<FixedDrive> drives;
    const QByteArray realPrefix = realPath(prefix);
    const QByteArray dosdevices = prefix + "/dosdevices";
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const QByteArray link = dosdevices + "/" + letter + ":";
        char buf[PATH_MAX];
        if (::readlink(link.constData(), buf, sizeof buf) <= 0 || !::realpath(link.constData(), buf))
            continue;
        const QByteArray root = normalizedRoot(QByteArray(buf));
        if (root == "/") {
            if (rootLetter.isNull())
                rootLetter = QChar(letter);
            continue;
        }
        if (realPrefix == root || realPrefix.startsWith(root + '/'))
            continue;
        if (QFileInfo(QFile::decodeName(root)).isDir())
            drives.append({QChar(letter), root, labelOfMountPoint(root, mounts, labels)});
    }
    return drives;
}

struct Cache {
    bool loaded = false;
    quint64 generation = 0;
    QByteArray variable;
    QByteArray prefix;
    QChar rootLetter;
    QList<FixedDrive> drives;
};

Cache& cache()
{
    static Cache c;
    return c;
}

const QList<FixedDrive>& table()
{
    Cache& c = cache();
    const QByteArray variable = RunEnvironment::current().drivesInForce();
    const QByteArray prefix = WinePrefix::folder();
    const quint64 generation = RunEnvironment::generation();
    if (!c.loaded || variable != c.variable || prefix != c.prefix || generation != c.generation) {
        c.variable = variable;
        c.generation = generation;
        c.prefix = prefix;
        c.rootLetter = QChar();
        if (!variable.isEmpty())
            c.drives = tableFromVariable(variable);
        else if (!prefix.isEmpty())
            c.drives = tableFromPrefix(prefix, c.rootLetter);
        else
            c.drives = defaultTable();
        c.loaded = true;
    }
    return c.drives;
}

} // namespace

QList<FixedDrive> DriveTable::fixedDrives()
{
    return table();
}

std::optional<FixedDrive> DriveTable::drive(QChar letter)
{
    const QChar lower = letter.toLower();
    for (const FixedDrive& d : table())
        if (d.letter == lower)
            return d;
    if (lower == u'z' || lower == cache().rootLetter)
        return FixedDrive{lower, "/", {}};
    return std::nullopt;
}

bool DriveTable::lettersAreWindows()
{
    const RunEnvironment& environment = RunEnvironment::current();
    if (environment.lettersAreWindows)
        return *environment.lettersAreWindows;
    return !environment.drivesInForce().isEmpty() || !WinePrefix::folder().isEmpty();
}

bool DriveTable::isFixed(QChar letter)
{
    const QChar lower = letter.toLower();
    return std::any_of(table().begin(), table().end(), [&](const FixedDrive& d) { return d.letter == lower; });
}

DriveSpace DriveTable::space(QChar letter)
{
    if (const auto& given = RunEnvironment::current().driveSpace)
        if (const std::optional<DriveSpace> space = given(letter.toLower()))
            return *space;
    const std::optional<FixedDrive> d = drive(letter);
    struct statvfs st {};
    if (!d || !isFixed(letter) || ::statvfs(d->hostRoot.constData(), &st) != 0)
        return {};
    return {quint64(st.f_blocks) * st.f_frsize, quint64(st.f_bavail) * st.f_frsize};
}

DriveDetails DriveTable::details(QChar letter)
{
    const std::optional<FixedDrive> d = drive(letter);
    struct statvfs st {};
    if (!d || !isFixed(letter) || ::statvfs(d->hostRoot.constData(), &st) != 0)
        return {};
    DriveDetails out;
    // The file system is the one mounted nearest above the drive's root; of
    // several mounted on one folder the last is the one in use.
    qsizetype nearest = -1;
    for (const MountEntry& m : MountTable::read()) {
        const QByteArray& point = m.mountPoint;
        const bool above = point == "/" || d->hostRoot == point
            || (d->hostRoot.startsWith(point) && d->hostRoot.at(point.size()) == '/');
        if (above && point.size() >= nearest) {
            nearest = point.size();
            out.fileSystem = QString::fromLatin1(m.fsType);
        }
    }
    out.serialNumber = quint32(st.f_fsid ^ (st.f_fsid >> 32));
    out.bytesPerCluster = quint32(st.f_frsize);
    out.totalClusters = st.f_blocks;
    out.freeClusters = st.f_bavail;
    return out;
}

bool DriveTable::reachesWholeSystem()
{
    return ::geteuid() == 0 && RunEnvironment::current().drivesInForce().isEmpty() && WinePrefix::folder().isEmpty();
}

void DriveTable::reload()
{
    cache().loaded = false;
}

} // namespace platform
