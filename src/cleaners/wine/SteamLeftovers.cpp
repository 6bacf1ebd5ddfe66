#include "cleaners/wine/SteamLeftovers.h"

#include "cleaners/wine/FolderMeasure.h"
#include "cleaners/wine/LeftoverKinds.h"
#include "formats/SteamShortcuts.h"
#include "platform/LeftoverHost.h"
#include "platform/WinePrefix.h"


namespace {

using platform::LeftoverHost;

struct LiveIds {
    QSet<quint32> ids{0};
    bool shortcutsKnown = true; // every shortcuts.vdf could be read
    bool librariesKnown = true; // every library's steamapps could be read
};

// A Steam installation without steamapps has installed nothing; a listed
// library whose steamapps cannot be read (a disk not mounted) may hold the
// manifest of a game whose prefix lies in another library.
void addManifestsAndDownloads(const QByteArray& library, bool root, LiveIds& live, core::JobSink& sink)
{
    const QByteArray steamapps = library + "/steamapps";
    const std::optional<QList<platform::HostEntry>> entries = LeftoverHost::listing(steamapps);
    if (!entries && root && LeftoverHost::missing(steamapps))
        return;
    if (!entries) {
        live.librariesKnown = false;
        sink.warning(QStringLiteral("Библиотека Steam %1 не читается: префиксы Proton не проверяются")
                         .arg(QString::fromUtf8(library)));
        return;
    }
    for (const platform::HostEntry& e : *entries)
        if (e.name.startsWith("appmanifest_") && e.name.endsWith(".acf"))
            if (const auto id = SteamLeftovers::appIdOf(e.name.mid(12, e.name.size() - 16)))
                live.ids.insert(*id);
    for (const platform::HostEntry& e : LeftoverHost::entries(steamapps + "/downloading"))
        if (const auto id = SteamLeftovers::appIdOf(e.name))
            live.ids.insert(*id);
}

void addShortcuts(const QByteArray& root, LiveIds& live, core::JobSink& sink)
{
    for (const platform::HostEntry& user : LeftoverHost::entries(root + "/userdata")) {
        const QByteArray vdf = root + "/userdata/" + user.name + "/config/shortcuts.vdf";
        if (LeftoverHost::missing(vdf))
            continue;
        const auto ids = formats::SteamShortcuts::appIds(LeftoverHost::readSmallFile(vdf, 16 << 20));
        if (!ids) {
            live.shortcutsKnown = false;
            sink.warning(QStringLiteral("%1 не читается: префиксы ярлыков не проверяются").arg(QString::fromUtf8(vdf)));
            continue;
        }
        for (const quint32 id : *ids)
            live.ids.insert(id);
    }
}

// A name people know the prefix by: the game's folder its Proton recorded
// in config_info, else the app id.
QString nameOf(const QByteArray& folder, quint32 id)
{
    const QByteArray info = LeftoverHost::readSmallFile(folder + "/config_info", 64 << 10);
    for (const QByteArray& line : info.split('\n')) {
        const qsizetype at = line.indexOf("/steamapps/common/");
        if (at < 0)
            continue;
        const QByteArray game = line.mid(at + 18).split('/').first();
        if (!game.isEmpty() && !game.startsWith("Proton") && !game.startsWith("Steam Linux Runtime"))
            return QString::fromUtf8(game);
    }
    return QString::number(id);
}

core::Finding findingOf(const QByteArray& host, const platform::HostEntry& e, const QString& kind)
{
    core::Finding f;
    f.path = LeftoverHost::windowsPath(host);
    f.id = e.id;
    f.kind = kind;
    f.lastUsed = e.modified;
    return f;
}

void listPrefix(const QByteArray& host, const platform::HostEntry& e, quint32 id, const FolderMeasure::Result& size,
                core::JobSink& sink)
{
    core::Finding f = findingOf(host, e, LeftoverKinds::protonPrefix());
    f.name = nameOf(host, id);
    f.size = size.bytes;
    f.userBytes = size.userBytes;
    if (size.userFiles > 0)
        f.detail = QStringLiteral("Файлов пользователя: %1 (%2)")
                       .arg(size.userFiles)
                       .arg(LeftoverKinds::sizeText(size.userBytes));
    const QByteArray lock = host + "/pfx.lock";
    if (const auto held = LeftoverHost::entry(lock))
        f.lastUsed = std::max(f.lastUsed, held->modified);
    if (LeftoverHost::lockHeld(lock) || platform::WinePrefix::serverRunning(host + "/pfx"))
        f.protection = core::Protection::InUse;
    f.selected = size.userFiles == 0 && !f.isProtected();
    sink.found(f);
}

void listShaderCache(const QByteArray& host, const platform::HostEntry& e, quint32 id, const FolderMeasure::Result& size,
                     core::JobSink& sink)
{
    core::Finding f = findingOf(host, e, LeftoverKinds::shaderCache());
    f.name = nameOf(host.left(host.lastIndexOf("/shadercache/")) + "/compatdata/" + e.name, id);
    f.size = size.bytes;
    sink.found(f);
}

bool mayBeLive(quint32 id, const LiveIds& live)
{
    return live.ids.contains(id) || (!live.shortcutsKnown && (id & 0x80000000u));
}

} // namespace

std::optional<quint32> SteamLeftovers::appIdOf(const QByteArray& name)
{
    if (name.isEmpty() || name.size() > 10 || (name.size() > 1 && name.startsWith('0')))
        return std::nullopt;
    quint64 value = 0;
    for (const char c : name) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + quint64(c - '0');
    }
    if (value > 0xFFFFFFFFull)
        return std::nullopt;
    return quint32(value);
}

void SteamLeftovers::scan(const QByteArray& home, core::JobSink& sink, const std::function<bool()>& stop)
{
    const QList<QByteArray> libraries = LeftoverHost::steamLibraries(home);
    const QList<QByteArray> roots = LeftoverHost::steamRoots(home);
    LiveIds live;
    for (const QByteArray& library : libraries)
        addManifestsAndDownloads(library, roots.contains(library), live, sink);
    for (const QByteArray& root : roots)
        addShortcuts(root, live, sink);
    if (!live.librariesKnown)
        return;
    for (const QByteArray& library : libraries) {
        for (const bool prefixes : {true, false}) {
            const QByteArray folder = library + (prefixes ? "/steamapps/compatdata" : "/steamapps/shadercache");
            QList<std::pair<platform::HostEntry, quint32>> leftovers;
            QSet<QString> names;
            for (const platform::HostEntry& e : LeftoverHost::entries(folder)) {
                const std::optional<quint32> id = appIdOf(e.name);
                if (e.id.kind != platform::EntryKind::Folder || !id || mayBeLive(*id, live))
                    continue;
                leftovers.append({e, *id});
                names.insert(QString::fromUtf8(e.name));
            }
            if (leftovers.isEmpty())
                continue;
            // One walk measures them all, so its readers go ahead across them.
            sink.progress(QString::fromUtf8(folder), 0);
            const auto sizes = FolderMeasure::measureChildren(folder, names, prefixes, stop);
            if (stop && stop())
                return;
            for (const auto& [e, id] : leftovers) {
                const FolderMeasure::Result size = sizes.value(QString::fromUtf8(e.name));
                if (prefixes)
                    listPrefix(folder + '/' + e.name, e, id, size, sink);
                else
                    listShaderCache(folder + '/' + e.name, e, id, size, sink);
            }
        }
    }
}
