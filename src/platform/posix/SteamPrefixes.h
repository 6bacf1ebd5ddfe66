#pragma once
// Proton's prefixes: steamapps/compatdata/<appid>/pfx in every Steam
// library folder, named after the game's appmanifest_<appid>.acf.

#include "platform/posix/PrefixCandidate.h"

namespace platform {

class SteamPrefixes {
public:
    // The candidates of every Steam installation under home (native,
    // Flatpak, Snap) and of every library its libraryfolders.vdf lists. A
    // missing or damaged file only leaves out what it would have named; a
    // prefix whose game has no readable manifest is named by its app id.
    static PrefixCandidates read(const QByteArray& home);

    // The Steam installation folders below home (real paths, each once).
    static QList<QByteArray> roots(const QByteArray& home);

    // The library folders (real paths, each once) of the Steam installation
    // folders below home, the installation folders first.
    static QList<QByteArray> libraries(const QByteArray& home);
};

} // namespace platform
