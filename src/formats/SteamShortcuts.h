#pragma once
// The app ids of the non-Steam games a Steam user added (shortcuts.vdf):
// each entry of the map "shortcuts" has an int32 "appid"; the folders Steam
// makes for it are named by that value as unsigned 32 bits. An entry without
// one takes the id older clients computed: crc32(exe + appname) | 0x80000000.

#include <QByteArray>
#include <QList>

#include <optional>

namespace formats {

class SteamShortcuts {
public:
    // The ids of every shortcut of the file, in file order; nullopt when the
    // file is damaged or holds no "shortcuts" map, so that a caller can
    // treat every shortcut id as possibly taken.
    static std::optional<QList<quint32>> appIds(const QByteArray& vdf);

    // The id an entry without "appid" has: the CRC-32 (as zlib computes it)
    // of exe's bytes followed by appName's, with the top bit set.
    static quint32 legacyAppId(const QByteArray& exe, const QByteArray& appName);

    // The CRC-32 of bytes (polynomial 0xEDB88320, as zlib).
    static quint32 crc32(const QByteArray& bytes);
};

} // namespace formats
