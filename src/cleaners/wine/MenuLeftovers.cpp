#include "cleaners/wine/MenuLeftovers.h"

#include "cleaners/wine/LeftoverKinds.h"
#include "formats/DesktopEntryText.h"
#include "formats/MenuMergeFile.h"
#include "platform/LeftoverHost.h"

#include <QSet>

namespace {

using formats::DesktopEntryText;
using platform::HostEntry;
using platform::LeftoverHost;

constexpr int kMaxDepth = 16;
constexpr qint64 kMaxEntryBytes = 256 << 10;

struct Desktop {
    QByteArray host;
    HostEntry entry;
    QString id;     // the desktop-file id: the path below applications/, "/" as "-"
    QString name;   // Name=, for people
    QString icon;   // Icon=
    bool candidate = false; // one of Wine's, so possibly a leftover
    bool leftover = false;
};

bool isRegularNamed(const HostEntry& e, const char* suffix)
{
    return e.id.kind == platform::EntryKind::File && e.name.endsWith(suffix);
}

void collectDesktops(const QByteArray& folder, const QString& idPrefix, bool wine, int depth, QList<Desktop>& out)
{
    if (depth > kMaxDepth)
        return;
    for (const HostEntry& e : LeftoverHost::entries(folder)) {
        const QString name = QString::fromUtf8(e.name);
        if (e.id.kind == platform::EntryKind::Folder) {
            collectDesktops(folder + '/' + e.name, idPrefix + name + u'-', wine || (depth == 0 && name == u"wine"),
                            depth + 1, out);
        } else if (isRegularNamed(e, ".desktop")) {
            Desktop d{folder + '/' + e.name, e, idPrefix + name, {}, {}, false, false};
            d.candidate = wine || (depth == 0 && (name.startsWith(u"wine-extension-") || name.startsWith(u"wine-protocol-")));
            out.append(d);
        }
    }
}

// True when the entry's prefix is known and holds no system.reg.
bool prefixIsGone(const QByteArray& text, const QByteArray& home)
{
    const QString exec = DesktopEntryText::value(text, "Exec");
    if (exec.isEmpty())
        return false;
    const DesktopEntryText::Prefix p = DesktopEntryText::prefixOf(exec);
    QString folder = p.folder;
    if (p.kind == DesktopEntryText::PrefixKind::Default)
        folder = DesktopEntryText::normalFolder(QString::fromUtf8(home) + QStringLiteral("/.wine"));
    if (p.kind == DesktopEntryText::PrefixKind::Unknown || folder.isEmpty())
        return false;
    return LeftoverHost::missing(folder.toUtf8() + "/system.reg");
}

core::Finding findingOf(const QByteArray& host, const HostEntry& e, const QString& name)
{
    core::Finding f;
    f.path = LeftoverHost::windowsPath(host);
    f.id = e.id;
    f.size = e.size;
    f.kind = LeftoverKinds::menu();
    f.name = name.isEmpty() ? QString::fromUtf8(e.name) : name;
    f.lastUsed = e.modified;
    return f;
}

// An icon name that is a plain file name, not a path.
bool plainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && name != u"." && name != u"..";
}

void listIcons(const QByteArray& dataHome, const QList<Desktop>& desktops, core::JobSink& sink)
{
    QSet<QString> needed, orphaned;
    for (const Desktop& d : desktops)
        (d.leftover ? orphaned : needed).insert(d.icon);
    const QByteArray hicolor = dataHome + "/icons/hicolor";
    for (const HostEntry& size : LeftoverHost::entries(hicolor)) {
        if (size.id.kind != platform::EntryKind::Folder)
            continue;
        const QByteArray apps = hicolor + '/' + size.name + "/apps";
        for (const HostEntry& e : LeftoverHost::entries(apps)) {
            const QString icon = QString::fromUtf8(e.name.chopped(std::min<qsizetype>(4, e.name.size())));
            if (isRegularNamed(e, ".png") && plainName(icon) && orphaned.contains(icon) && !needed.contains(icon))
                sink.found(findingOf(apps + '/' + e.name, e, {}));
        }
    }
}

void listMimePackages(const QByteArray& dataHome, const QList<Desktop>& desktops, core::JobSink& sink)
{
    QSet<QString> live;
    for (const Desktop& d : desktops)
        if (!d.leftover)
            live.insert(d.id);
    const QByteArray packages = dataHome + "/mime/packages";
    for (const HostEntry& e : LeftoverHost::entries(packages)) {
        if (!isRegularNamed(e, ".xml") || !e.name.startsWith("x-wine-extension-"))
            continue;
        const QString ext = QString::fromUtf8(e.name.mid(17).chopped(4));
        if (!ext.isEmpty() && !live.contains(QStringLiteral("wine-extension-%1.desktop").arg(ext)))
            sink.found(findingOf(packages + '/' + e.name, e, {}));
    }
}

// Lists the wine-*.menu files that include only leftovers or missing
// entries; returns the directory names the remaining menus use, or nullopt
// when a remaining menu could not be read.
std::optional<QSet<QString>> listMenus(const QByteArray& configHome, const QList<Desktop>& desktops,
                                       core::JobSink& sink)
{
    QSet<QString> leftovers, present;
    for (const Desktop& d : desktops)
        (d.leftover ? leftovers : present).insert(d.id);
    std::optional<QSet<QString>> used = QSet<QString>();
    const QByteArray merged = configHome + "/menus/applications-merged";
    for (const HostEntry& e : LeftoverHost::entries(merged)) {
        if (!isRegularNamed(e, ".menu"))
            continue;
        const auto names = formats::MenuMergeFile::read(LeftoverHost::readSmallFile(merged + '/' + e.name, kMaxEntryBytes));
        bool gone = names && e.name.startsWith("wine-");
        for (const QString& file : names ? names->filenames : QStringList())
            gone = gone && (leftovers.contains(file) || (file.startsWith(u"wine-") && !present.contains(file)));
        if (gone) {
            sink.found(findingOf(merged + '/' + e.name, e, {}));
        } else if (!names) {
            used.reset();
        } else if (used) {
            for (const QString& dir : names->directories)
                used->insert(dir);
        }
    }
    return used;
}

void listDirectories(const QByteArray& dataHome, const QSet<QString>& used, core::JobSink& sink)
{
    const QByteArray folder = dataHome + "/desktop-directories";
    for (const HostEntry& e : LeftoverHost::entries(folder))
        if (isRegularNamed(e, ".directory") && e.name.startsWith("wine-") && !used.contains(QString::fromUtf8(e.name)))
            sink.found(findingOf(folder + '/' + e.name, e, {}));
}

} // namespace

void MenuLeftovers::scan(const Folders& folders, core::JobSink& sink)
{
    QList<Desktop> desktops;
    collectDesktops(folders.dataHome + "/applications", {}, false, 0, desktops);
    for (Desktop& d : desktops) {
        const QByteArray text = LeftoverHost::readSmallFile(d.host, kMaxEntryBytes);
        d.icon = DesktopEntryText::value(text, "Icon");
        d.name = DesktopEntryText::value(text, "Name");
        d.leftover = d.candidate && prefixIsGone(text, folders.home);
        if (d.leftover)
            sink.found(findingOf(d.host, d.entry, d.name));
    }
    // What the user put on the desktop stays, and so does every icon it shows.
    QList<Desktop> placed;
    collectDesktops(folders.home + "/Desktop", QStringLiteral("desktop:"), false, kMaxDepth, placed);
    for (Desktop& d : placed) {
        d.icon = DesktopEntryText::value(LeftoverHost::readSmallFile(d.host, kMaxEntryBytes), "Icon");
        d.id.clear();
    }
    listIcons(folders.dataHome, desktops + placed, sink);
    listMimePackages(folders.dataHome, desktops, sink);
    if (const std::optional<QSet<QString>> used = listMenus(folders.configHome, desktops, sink))
        listDirectories(folders.dataHome, *used, sink);
}
