#pragma once
// Steam's binary key-values files (shortcuts.vdf): a type byte, a key ending
// in a zero byte, then the value: 0x00 a nested map closed by 0x08, 0x01 a
// zero-ended string, 0x02 a 32-bit little-endian integer, 0x03 a float,
// 0x07 a 64-bit integer. The bytes are anyone's: a read never runs past the
// end, nesting is bounded and anything unknown makes the whole file damaged.

#include <QByteArray>
#include <QList>

#include <optional>

namespace formats {

class BinaryKeyValues {
public:
    enum class Type : quint8 { Map, String, Int32, Float, Int64 };

    struct Node {
        QByteArray key;
        Type type = Type::Map;
        QByteArray text;      // a string's bytes
        qint64 number = 0;    // an integer's value (a float's bits)
        QList<Node> children; // a map's entries in file order

        // The first child whose key equals key without regard to ASCII case,
        // or nullptr. The node must outlive the pointer.
        const Node* child(const QByteArray& key) const;
    };

    // The deepest nesting read; deeper files are damaged.
    static constexpr int kMaxDepth = 32;

    // The file's top-level entries, or nullopt when it is damaged: cut short,
    // an unknown type byte, a map left open or closed twice, too deep.
    static std::optional<QList<Node>> parse(const QByteArray& bytes);
};

} // namespace formats
