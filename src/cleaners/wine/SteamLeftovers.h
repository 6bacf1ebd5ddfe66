#pragma once
// The Proton prefixes (steamapps/compatdata/<appid>) and shader caches
// (steamapps/shadercache/<appid>) of games that are gone, in every Steam
// library prefix discovery knows. An app id is live when any library has
// its manifest, it is downloading, it is 0, or it is a non-Steam shortcut's
// in any user's shortcuts.vdf; when any of that cannot be read, nothing
// that could be live is listed.

#include "core/JobSink.h"

#include <QByteArray>
#include <QSet>
#include <functional>
#include <optional>

class SteamLeftovers {
public:
    // Lists the leftovers of the Steam installations below home to sink.
    static void scan(const QByteArray& home, core::JobSink& sink, const std::function<bool()>& stop);

    // The folder name's app id: decimal digits only, no leading zero (but
    // "0"), at most 32 bits; nullopt for any other name.
    static std::optional<quint32> appIdOf(const QByteArray& name);
};
