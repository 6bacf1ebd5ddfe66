#include "core/FolderCheck.h"

#include "platform/DriveTable.h"
#include "platform/EntryLookup.h"
#include "platform/KnownFolders.h"
#include "platform/PathMapper.h"
#include "platform/RegistryKey.h"
#include "core/ShellFolders.h"
#include "formats/WinPath.h"
#include "platform/WinePrefix.h"

#include <QList>
#include <optional>

namespace core {

using namespace platform;

namespace {

const QString kCurrentVersion = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion");

// A folder no command may empty, in both forms (either may be empty).
struct Guard {
    QString win;  // cleaned Windows form, "c:" for a drive root
    QString host; // real host folder
    bool below;   // what lies below it is guarded too
};

using State = EmptiableFolder::State;

// The components of an absolute path on a drive ("/" counts as "\"), or
// nullopt when it is no such path.
std::optional<QStringList> componentsOf(const QString& winPath)
{
    if (formats::WinPath::driveLetter(winPath).isNull() || winPath.size() < 3 || (winPath[2] != u'\\' && winPath[2] != u'/'))
        return std::nullopt;
    QString rest = winPath.mid(3);
    rest.replace(u'/', u'\\');
    return rest.split(u'\\', Qt::SkipEmptyParts);
}

// winPath as "x:\a\b" ("x:" for a root) with "." and ".." applied, or empty
// when it is no absolute drive path.
QString cleanWindows(const QString& winPath)
{
    const std::optional<QStringList> parts = componentsOf(winPath);
    if (!parts && !(winPath.size() == 2 && !formats::WinPath::driveLetter(winPath).isNull()))
        return {};
    QStringList kept;
    for (const QString& part : parts.value_or(QStringList())) {
        if (part == u".." && !kept.isEmpty())
            kept.removeLast();
        else if (part != u".." && part != u".")
            kept.append(part);
    }
    QString out = QString(formats::WinPath::driveLetter(winPath)) + u':';
    for (const QString& part : kept)
        out += u'\\' + part;
    return out;
}

// The folder as the disk spells it, found component by component without
// regard to case where no entry is spelled as written. Refused when a
// component is a link or anything else that is not a folder.
EmptiableFolder spelled(const QString& winPath, const QStringList& parts)
{
    QString path = winPath.left(2);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<EntryData> entry = EntryLookup::read(path + u'\\' + parts[i]);
        if (!entry)
            return {State::Missing, path + u'\\' + parts.mid(i).join(u'\\')};
        // A link to a folder is an entry of its own, not a folder.
        if (!entry->isDirectory)
            return {State::Refused, {}};
        path += u'\\' + entry->name;
    }
    return {State::Present, path};
}

bool windowsWithin(const QString& inner, const QString& outer)
{
    if (inner.isEmpty() || outer.isEmpty() || inner.size() < outer.size())
        return false;
    if (!formats::WinPath::startsWithIgnoringCase(inner, outer))
        return false;
    return inner.size() == outer.size() || inner[outer.size()] == u'\\';
}

bool hostWithin(const QString& inner, const QString& outer)
{
    if (inner.isEmpty() || outer.isEmpty())
        return false;
    return inner == outer || outer == u"/" || inner.startsWith(outer + u'/');
}

Guard windowsGuard(const QString& winPath, bool below)
{
    const QString win = cleanWindows(winPath);
    if (win.isEmpty())
        return {};
    return {win, EntryLookup::realHostFolder(PathMapper::toHost(win)), below};
}

Guard hostGuard(const QString& host, bool below)
{
    return {cleanWindows(PathMapper::toWindows(host.toUtf8())), host, below};
}

// The prefix's profile folder (c:\users\<name>), the home of its programs.
void addProfile(QList<Guard>& guards)
{
    if (WinePrefix::active())
        guards << windowsGuard(QStringLiteral("c:\\users\\") + WinePrefix::userName(), false);
}

// The values of a Shell Folders key, but the one called skipped.
void addShellFolders(QList<Guard>& guards, RegistryRoot root, const QString& skipped)
{
    for (const auto& [name, folder] : ShellFolders::all(root))
        if (name.compare(skipped, Qt::CaseInsensitive) != 0)
            guards << windowsGuard(folder, false);
}

// Both Program Files folders of the system drive, and what the machine
// says they are.
void addProgramFiles(QList<Guard>& guards)
{
    QChar system = formats::WinPath::driveLetter(KnownFolders::windowsDir());
    if (system.isNull())
        system = u'c';
    guards << windowsGuard(QString(system) + QStringLiteral(":\\Program Files"), true)
           << windowsGuard(QString(system) + QStringLiteral(":\\Program Files (x86)"), true);
    RegistryKey key;
    if (!key.open(RegistryRoot::LocalMachine, kCurrentVersion, false))
        return;
    for (const QString& name : {QStringLiteral("ProgramFilesDir"), QStringLiteral("ProgramFilesDir (x86)")}) {
        QString folder;
        if (key.readString(name, folder) && !folder.isEmpty())
            guards << windowsGuard(folder, true);
    }
}

QList<Guard> guardedFolders(const QString& valueName)
{
    QList<Guard> guards;
    for (const FixedDrive& d : DriveTable::fixedDrives())
        guards << Guard{QString(d.letter) + u':', EntryLookup::realHostFolder(d.hostRoot), false};
    guards << windowsGuard(KnownFolders::windowsDir(), true);
    addProgramFiles(guards);
    const QString home = EntryLookup::realHomeFolder();
    guards << hostGuard(home, false);
    addProfile(guards);
    addShellFolders(guards, RegistryRoot::CurrentUser, valueName);
    addShellFolders(guards, RegistryRoot::LocalMachine, QString());
    return guards;
}

// True when the folder (cleaned Windows form, real host folder) is or
// holds a guarded folder, or lies below one that guards what is below it.
bool isGuarded(const QString& win, const QString& host, const QList<Guard>& guards)
{
    for (const Guard& g : guards) {
        if (windowsWithin(g.win, win) || hostWithin(g.host, host))
            return true;
        if (g.below && (windowsWithin(win, g.win) || hostWithin(host, g.host)))
            return true;
    }
    return false;
}

bool onFixedDrive(const QString& host)
{
    for (const FixedDrive& d : DriveTable::fixedDrives())
        if (hostWithin(host, EntryLookup::realHostFolder(d.hostRoot)))
            return true;
    return false;
}

// The folders that a temporary folder may neither be nor hold.
QList<Guard> temporaryGuards()
{
    QList<Guard> guards{hostGuard(QStringLiteral("/"), false), hostGuard(EntryLookup::realHomeFolder(), false),
                        windowsGuard(KnownFolders::windowsDir(), false)};
    for (const FixedDrive& d : DriveTable::fixedDrives())
        guards << Guard{QString(d.letter) + u':', EntryLookup::realHostFolder(d.hostRoot), false};
    addProfile(guards);
    return guards;
}

// True when the folder lies inside the fixed drive it is written on, reached
// from the drive's root without a link.
bool confinedToItsDrive(const QString& winFolder, const QStringList& parts)
{
    const QChar letter = formats::WinPath::driveLetter(winFolder);
    if (!DriveTable::isFixed(letter))
        return false;
    const EmptiableFolder folder = spelled(winFolder, parts);
    if (folder.state == State::Refused)
        return false;
    const QString root = EntryLookup::realHostFolder(DriveTable::drive(letter)->hostRoot);
    const QString host = EntryLookup::realHostFolder(PathMapper::toHost(folder.path));
    return hostWithin(host, root) && host != root;
}

} // namespace

bool FolderCheck::temporaryEmptiable(const QString& winFolder)
{
    const std::optional<QStringList> parts = componentsOf(winFolder);
    if (!parts || parts->isEmpty() || parts->contains(QStringLiteral("..")) || parts->contains(QStringLiteral(".")))
        return false;
    if (WinePrefix::active() && !confinedToItsDrive(winFolder, *parts))
        return false;
    const QString win = cleanWindows(winFolder);
    const QString host = EntryLookup::realHostFolder(PathMapper::toHost(win));
    for (const Guard& g : temporaryGuards())
        if (windowsWithin(g.win, win) || hostWithin(g.host, host))
            return false;
    return true;
}

EmptiableFolder FolderCheck::emptiable(const QString& winPath, const QString& valueName)
{
    const std::optional<QStringList> parts = componentsOf(winPath);
    if (!parts || parts->isEmpty() || !DriveTable::isFixed(formats::WinPath::driveLetter(winPath))
        || parts->contains(QStringLiteral("..")) || parts->contains(QStringLiteral(".")))
        return {};
    const EmptiableFolder folder = spelled(winPath, *parts);
    if (folder.state == State::Refused)
        return {};
    const QString host = EntryLookup::realHostFolder(PathMapper::toHost(folder.path));
    if (!onFixedDrive(host) || isGuarded(cleanWindows(folder.path), host, guardedFolders(valueName)))
        return {};
    return folder;
}

} // namespace core
