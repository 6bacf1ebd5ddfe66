#pragma once
// Lutris's prefixes: the "prefix" of the "game" section of each game
// configuration (games/*.yml), named after the game.

#include "platform/posix/PrefixCandidate.h"

namespace platform {

class LutrisPrefixes {
public:
    // The candidates of every game configuration under home (the folders
    // older and newer Lutris releases keep them in, native and Flatpak).
    // The game's name is the file's "name", else its file name without the
    // time stamp Lutris adds ("the-game-1700000000.yml" → "the-game"). A
    // "~/" at the start of the prefix path means home. Files that cannot be
    // read or name no prefix are left out.
    static PrefixCandidates read(const QByteArray& home);
};

} // namespace platform
