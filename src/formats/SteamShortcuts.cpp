#include "formats/SteamShortcuts.h"

#include "formats/BinaryKeyValues.h"

#include <array>

namespace formats {

quint32 SteamShortcuts::crc32(const QByteArray& bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char b : bytes)
        crc = table[(crc ^ quint8(b)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

quint32 SteamShortcuts::legacyAppId(const QByteArray& exe, const QByteArray& appName)
{
    return crc32(exe + appName) | 0x80000000u;
}

std::optional<QList<quint32>> SteamShortcuts::appIds(const QByteArray& vdf)
{
    using Node = BinaryKeyValues::Node;
    const std::optional<QList<Node>> top = BinaryKeyValues::parse(vdf);
    if (!top)
        return std::nullopt;
    const Node* list = nullptr;
    for (const Node& node : *top)
        if (node.type == BinaryKeyValues::Type::Map && node.key.compare("shortcuts", Qt::CaseInsensitive) == 0)
            list = &node;
    if (!list)
        return std::nullopt;
    QList<quint32> ids;
    for (const Node& entry : list->children) {
        if (entry.type != BinaryKeyValues::Type::Map)
            continue;
        const Node* id = entry.child("appid");
        if (id && id->type == BinaryKeyValues::Type::Int32) {
            ids.append(quint32(id->number));
            continue;
        }
        const Node* exe = entry.child("exe");
        const Node* name = entry.child("appname");
        ids.append(legacyAppId(exe ? exe->text : QByteArray(), name ? name->text : QByteArray()));
    }
    return ids;
}

} // namespace formats
