#include "formats/BinaryKeyValues.h"

namespace formats {

namespace {

constexpr char kMap = 0x00, kString = 0x01, kInt32 = 0x02, kFloat = 0x03, kInt64 = 0x07, kEnd = 0x08;

class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : bytes_(bytes)
    {}

    // Reads entries up to the map's end byte (or the file's end at depth 0).
    bool entries(QList<BinaryKeyValues::Node>& out, int depth)
    {
        if (depth > BinaryKeyValues::kMaxDepth)
            return false;
        while (at_ < bytes_.size()) {
            const char type = bytes_[at_++];
            if (type == kEnd)
                return depth > 0 || at_ == bytes_.size(); // the top may end in one closing byte
            BinaryKeyValues::Node node;
            if (!zeroEnded(node.key) || !value(type, node, depth))
                return false;
            out.append(std::move(node));
        }
        return depth == 0;
    }

    bool atEnd() const { return at_ >= bytes_.size(); }

private:
    bool value(char type, BinaryKeyValues::Node& node, int depth)
    {
        using Type = BinaryKeyValues::Type;
        switch (type) {
        case kMap:
            node.type = Type::Map;
            return entries(node.children, depth + 1);
        case kString:
            node.type = Type::String;
            return zeroEnded(node.text);
        case kInt32:
            node.type = Type::Int32;
            return little(4, node.number, true);
        case kFloat:
            node.type = Type::Float;
            return little(4, node.number, false);
        case kInt64:
            node.type = Type::Int64;
            return little(8, node.number, false);
        default:
            return false;
        }
    }

    bool zeroEnded(QByteArray& out)
    {
        const qsizetype end = bytes_.indexOf('\0', at_);
        if (end < 0)
            return false;
        out = bytes_.mid(at_, end - at_);
        at_ = end + 1;
        return true;
    }

    bool little(int width, qint64& out, bool signExtend)
    {
        if (bytes_.size() - at_ < width)
            return false;
        quint64 v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = (v << 8) | quint8(bytes_[at_ + i]);
        at_ += width;
        out = signExtend && width == 4 ? qint64(qint32(quint32(v))) : qint64(v);
        return true;
    }

    const QByteArray& bytes_;
    qsizetype at_ = 0;
};

} // namespace

const BinaryKeyValues::Node* BinaryKeyValues::Node::child(const QByteArray& name) const
{
    for (const Node& c : children)
        if (c.key.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

std::optional<QList<BinaryKeyValues::Node>> BinaryKeyValues::parse(const QByteArray& bytes)
{
    QList<Node> top;
    Reader reader(bytes);
    if (!reader.entries(top, 0) || !reader.atEnd())
        return std::nullopt;
    return top;
}

} // namespace formats
