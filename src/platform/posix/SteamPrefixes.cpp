#include "platform/posix/SteamPrefixes.h"

#include "formats/KeyValuesText.h"
#include "platform/posix/PrefixFolder.h"

#include <QHash>

namespace platform {

namespace {

// Where Steam installs itself for a user: the native client (both links
// into its folder, its usual folder and Debian's), the Flatpak's sandboxed
// home and the Snap's.
const char* const kSteamRoots[] = {
    "/.steam/steam",
    "/.steam/root",
    "/.local/share/Steam",
    "/.steam/debian-installation",
    "/snap/steam/common/.local/share/Steam",
    "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
    "/.var/app/com.valvesoftware.Steam/data/Steam",
};

void appendOnce(QList<QByteArray>& list, const QByteArray& path)
{
    if (!path.isEmpty() && !list.contains(path))
        list.append(path);
}

// The library paths a libraryfolders.vdf lists: "path" inside each numbered
// block, or (as older clients wrote it) the numbered key's own value.
QList<QByteArray> listedLibraries(const QByteArray& vdf)
{
    QList<QByteArray> out;
    const auto top = formats::KeyValuesText::parse(PrefixFolder::readSmallFile(vdf));
    if (!top)
        return out;
    for (const formats::KeyValuesText::Node& root : *top) {
        for (const formats::KeyValuesText::Node& entry : root.children) {
            if (entry.block) {
                if (const formats::KeyValuesText::Node* path = entry.child(QStringLiteral("path")); path && !path->block)
                    out.append(path->value.toUtf8());
            } else if (!entry.value.isEmpty() && entry.value.startsWith(u'/')) {
                out.append(entry.value.toUtf8());
            }
        }
    }
    return out;
}

// The game's name from the library's manifest; empty when there is none
// or it cannot be read whole.
QString gameName(const QList<QByteArray>& libraries, const QByteArray& appId)
{
    for (const QByteArray& library : libraries) {
        const QByteArray manifest = library + "/steamapps/appmanifest_" + appId + ".acf";
        const auto top = formats::KeyValuesText::parse(PrefixFolder::readSmallFile(manifest));
        if (!top)
            continue;
        for (const formats::KeyValuesText::Node& state : *top)
            if (const formats::KeyValuesText::Node* name = state.child(QStringLiteral("name")); name && !name->block)
                if (const QString text = name->value.trimmed(); !text.isEmpty())
                    return text;
    }
    return {};
}

} // namespace

QList<QByteArray> SteamPrefixes::roots(const QByteArray& home)
{
    QList<QByteArray> roots;
    for (const char* root : kSteamRoots)
        appendOnce(roots, PrefixFolder::realPath(home + root));
    return roots;
}

QList<QByteArray> SteamPrefixes::libraries(const QByteArray& home)
{
    const QList<QByteArray> roots = SteamPrefixes::roots(home);
    QList<QByteArray> libraries = roots;
    for (const QByteArray& root : roots) {
        for (const char* vdf : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"})
            for (const QByteArray& listed : listedLibraries(root + vdf))
                appendOnce(libraries, PrefixFolder::realPath(listed));
    }
    return libraries;
}

PrefixCandidates SteamPrefixes::read(const QByteArray& home)
{
    PrefixCandidates out;
    const QList<QByteArray> all = libraries(home);
    for (const QByteArray& library : all) {
        const QByteArray compat = library + "/steamapps/compatdata";
        for (const QByteArray& appId : PrefixFolder::entryNames(compat)) {
            const QByteArray pfx = compat + '/' + appId + "/pfx";
            if (!PrefixFolder::holdsPrefix(pfx))
                continue;
            // The manifest usually sits in the same library as the prefix.
            QList<QByteArray> order{library};
            for (const QByteArray& other : all)
                appendOnce(order, other);
            QString name = gameName(order, appId);
            if (name.isEmpty())
                name = QString::fromUtf8(appId);
            out.append({name, pfx, QStringLiteral("steam")});
        }
    }
    return out;
}

} // namespace platform
