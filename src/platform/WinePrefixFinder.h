#pragma once
// The Wine prefixes a user has, wherever their front ends keep them:
// Steam's Proton prefixes in every Steam library, Lutris games, Bottles,
// PlayOnLinux and the plain ~/.wine. A folder counts as a prefix only when
// it holds system.reg and drive_c. Nothing here writes anything, and front-
// end files that are missing or damaged only leave out what they name.

#include <QList>
#include <QString>

#include <optional>

namespace platform {

struct FoundPrefix {
    QString name;               // what the user recognises: game name, bottle name, Lutris game, folder name
    QString path;               // absolute path of the prefix folder (holds system.reg and drive_c)
    QString source;             // "steam", "lutris", "bottles", "playonlinux", "wine"
    QString arch;               // from "#arch=" in system.reg ("win32", "win64"; empty when absent)
    quint64 sizeOnDisk = 0;     // bytes, allocated blocks, links not followed, one file system
    bool serverRunning = false; // its wineserver runs
};

class WinePrefixFinder {
public:
    // All prefixes found for the user whose home folder is home (default:
    // the real home), each once (by real path: the path given is the real
    // one), sorted by name without regard to case. When two front ends name
    // the same folder, the one read first keeps it: Steam, Lutris, Bottles,
    // PlayOnLinux, then ~/.wine.
    //
    // sizeOnDisk is left 0: walking every prefix would take seconds where
    // the rest takes milliseconds. Ask sizeOnDisk() or measure() for it.
    static QList<FoundPrefix> find(const QString& home = {});

    // The listed prefix that text names: a path (it begins with "/") names
    // the prefix at that folder, compared after links are resolved, and
    // never one that is merely called so; anything else is a name, compared
    // without regard to case. nullopt when none matches, or when a name
    // matches more than one prefix (matchesIn() tells which).
    static std::optional<FoundPrefix> lookup(const QString& text, const QString& home = {});
    // The same among prefixes already found.
    static std::optional<FoundPrefix> lookupIn(const QList<FoundPrefix>& prefixes, const QString& text);
    // Every prefix of the list that text names, by the rules of lookup().
    static QList<FoundPrefix> matchesIn(const QList<FoundPrefix>& prefixes, const QString& text);

    // The folder text names as a path, links resolved (a leading "~" is the
    // home folder), when it holds a prefix; empty otherwise.
    static QString prefixAt(const QString& path);

    // The prefix folder's size on disk (see FoundPrefix::sizeOnDisk); 0 when
    // it cannot be read. Takes as long as a walk of the folder.
    static quint64 sizeOnDisk(const QString& path);
    // Sets sizeOnDisk of every prefix of the list.
    static void measure(QList<FoundPrefix>& prefixes);
};

} // namespace platform
