#include "formats/RegistryText.h"

#include "formats/Utf16Text.h"

#include <algorithm>
#include <cstring>

namespace formats {

namespace {

const char kHeader[] = "WINE REGISTRY Version 2";
const char kRelativeTo[] = ";; All keys relative to ";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads Wine's escaped text from p (just after the opening quote) up to the
// closing character. False for an unterminated text or a broken escape.
bool unescape(const char*& p, const char* e, char close, QString& out)
{
    while (p < e) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == static_cast<unsigned char>(close)) {
            ++p;
            return true;
        }
        if (c >= 0x80) {
            const char* s = p;
            while (p < e && static_cast<unsigned char>(*p) >= 0x80)
                ++p;
            out += QString::fromUtf8(s, p - s);
            continue;
        }
        ++p;
        if (c != '\\') {
            out += QChar(c);
            continue;
        }
        if (p >= e)
            return false;
        const char x = *p++;
        switch (x) {
        case 'a':
            out += QChar(7);
            break;
        case 'b':
            out += QChar(8);
            break;
        case 'e':
            out += QChar(27);
            break;
        case 'f':
            out += QChar(12);
            break;
        case 'n':
            out += QChar(10);
            break;
        case 'r':
            out += QChar(13);
            break;
        case 't':
            out += QChar(9);
            break;
        case 'v':
            out += QChar(11);
            break;
        case 'x': {
            unsigned v = 0;
            int n = 0;
            for (; n < 4 && p < e && hexDigit(*p) >= 0; ++n, ++p)
                v = v * 16 + unsigned(hexDigit(*p));
            if (n == 0)
                return false;
            out += QChar(char16_t(v));
            break;
        }
        default:
            if (x >= '0' && x <= '7') {
                unsigned v = unsigned(x - '0');
                for (int n = 0; n < 2 && p < e && *p >= '0' && *p <= '7'; ++n, ++p)
                    v = v * 8 + unsigned(*p - '0');
                out += QChar(char16_t(v));
            } else if (static_cast<unsigned char>(x) >= 0x80) {
                return false;
            } else {
                out += QChar(x);
            }
        }
    }
    return false;
}

bool startsWith(const char* p, const char* e, const char* word)
{
    const size_t n = std::strlen(word);
    return size_t(e - p) >= n && std::memcmp(p, word, n) == 0;
}

// A hexadecimal number up to the given stop character; p moves past it.
bool hexNumber(const char*& p, const char* e, char stop, quint32& v)
{
    v = 0;
    int n = 0;
    for (; p < e && hexDigit(*p) >= 0; ++p, ++n)
        v = v * 16 + quint32(hexDigit(*p));
    if (n == 0 || n > 8 || p >= e || *p != stop)
        return false;
    ++p;
    return true;
}

bool onlyBlanks(const char* p, const char* e)
{
    for (; p < e; ++p)
        if (*p != ' ' && *p != '\t')
            return false;
    return true;
}

struct Line {
    qsizetype start = 0; // first byte
    qsizetype end = 0;   // before "\r\n" / "\n"
    qsizetype next = 0;  // first byte of the next line
};

Line lineAt(const QByteArray& raw, qsizetype pos)
{
    const char* base = raw.constData();
    const void* nl = std::memchr(base + pos, '\n', size_t(raw.size() - pos));
    Line l;
    l.start = pos;
    l.next = nl ? static_cast<const char*>(nl) - base + 1 : raw.size();
    l.end = nl ? l.next - 1 : raw.size();
    if (l.end > l.start && base[l.end - 1] == '\r')
        --l.end;
    return l;
}

QString cleanPath(const QString& path)
{
    QStringList parts;
    for (const QString& p : path.split(u'\\'))
        if (!p.isEmpty())
            parts.append(p);
    return parts.join(u'\\');
}

QByteArray fileTime(qint64 now)
{
    const quint64 ft = (quint64(now) + 11644473600ULL) * 10000000ULL;
    return "#time=" + QByteArray::number(ft, 16) + "\n";
}

QByteArray splice(const QByteArray& raw, qsizetype at, qsizetype length, const QByteArray& with)
{
    QByteArray out;
    out.reserve(raw.size() - length + with.size());
    out.append(raw.constData(), at);
    out.append(with);
    out.append(raw.constData() + at + length, raw.size() - at - length);
    return out;
}

// The data of a hex value: "xx," bytes, possibly continued on following
// lines after a trailing "\". Moves next past the continuation lines.
bool hexBytes(const QByteArray& raw, const char* p, const char* e, qsizetype& next, QByteArray& out)
{
    const char* base = raw.constData();
    for (;;) {
        while (p < e && (*p == ' ' || *p == '\t'))
            ++p;
        if (p >= e)
            return true;
        if (*p == '\\') {
            if (!onlyBlanks(p + 1, e) || next >= raw.size())
                return false;
            const Line cont = lineAt(raw, next);
            p = base + cont.start;
            e = base + cont.end;
            next = cont.next;
            continue;
        }
        const int hi = hexDigit(*p);
        const int lo = p + 1 < e ? hexDigit(p[1]) : -1;
        if (hi < 0)
            return false;
        out.append(char(lo >= 0 ? hi * 16 + lo : hi));
        p += lo >= 0 ? 2 : 1;
        while (p < e && (*p == ' ' || *p == '\t'))
            ++p;
        if (p < e && *p == ',')
            ++p;
        else if (p < e && *p != '\\')
            return false;
    }
}

// The data after "=": a quoted text, str(N):, dword: or hex[(N)]:.
bool valueData(const QByteArray& raw, const char* p, const char* e, qsizetype& next, RegistryValue& v)
{
    if (p < e && *p == '"') {
        ++p;
        v.type = RegSz;
        v.textForm = true;
        return unescape(p, e, '"', v.text) && onlyBlanks(p, e);
    }
    if (startsWith(p, e, "str(")) {
        p += 4;
        if (!hexNumber(p, e, ')', v.type) || e - p < 2 || p[0] != ':' || p[1] != '"')
            return false;
        p += 2;
        v.textForm = true;
        return unescape(p, e, '"', v.text) && onlyBlanks(p, e);
    }
    if (startsWith(p, e, "dword:")) {
        p += 6;
        quint32 d = 0;
        const char* s = p;
        for (; p < e && hexDigit(*p) >= 0; ++p)
            d = d * 16 + quint32(hexDigit(*p));
        v.type = RegDword;
        for (int i = 0; i < 4; ++i)
            v.bytes.append(char(d >> (8 * i)));
        return p - s >= 1 && p - s <= 8 && onlyBlanks(p, e);
    }
    if (startsWith(p, e, "hex")) {
        p += 3;
        v.type = RegBinary;
        if (p < e && *p == '(' && !hexNumber(++p, e, ')', v.type))
            return false;
        if (p >= e || *p != ':')
            return false;
        return hexBytes(raw, p + 1, e, next, v.bytes);
    }
    return false;
}

} // namespace

RegistryText::RegistryText(QByteArray text)
    : raw_(std::move(text))
{
    parse();
}

bool RegistryText::parseKeyLine(const char* p, const char* e, qsizetype start, qsizetype next)
{
    ++p;
    QString path;
    if (!unescape(p, e, ']', path) || tooDeep(path))
        return false;
    if (!blocks_.isEmpty() && blocks_.last().end < 0)
        blocks_.last().end = start;
    RegistryBlock b;
    b.path = cleanPath(path);
    b.start = start;
    b.headerEnd = next;
    b.end = -1;
    blocks_.append(b);
    return true;
}

bool RegistryText::parseValueLine(const char* p, const char* e, qsizetype start, qsizetype& next)
{
    RegistryValue v;
    v.start = start;
    bool ok = !blocks_.isEmpty() && blocks_.last().end < 0;
    if (*p++ == '"')
        ok = unescape(p, e, '"', v.name) && ok;
    ok = ok && p < e && *p == '=' && valueData(raw_, p + 1, e, next, v);
    v.end = next;
    if (ok)
        blocks_.last().values.append(v);
    return ok;
}

void RegistryText::parse()
{
    nodes_.insert(QString(), Node{});
    const char* base = raw_.constData();
    // Wine ends every file with a newline: a file without one was cut short,
    // maybe inside a value whose rest would then be lost by a write.
    if (!raw_.startsWith(kHeader) || std::memchr(base, 0, size_t(raw_.size())) || !raw_.endsWith('\n'))
        damaged_ = true;
    if (!raw_.startsWith(kHeader))
        return;
    bool inHeader = false; // the "#" lines right after a key line
    for (qsizetype pos = lineAt(raw_, 0).next; pos < raw_.size();) {
        const Line l = lineAt(raw_, pos);
        const char* p = base + l.start;
        const char* e = base + l.end;
        qsizetype next = l.next;
        const bool open = !blocks_.isEmpty() && blocks_.last().end < 0;
        if (p == e || *p == ';') {
            inHeader = false;
            if (blocks_.isEmpty() && relativeTo_.isEmpty() && startsWith(p, e, kRelativeTo))
                relativeTo_ = cleanPath(
                    QString::fromUtf8(p + sizeof kRelativeTo - 1, e - p - qsizetype(sizeof kRelativeTo) + 1)
                        .replace(QLatin1String("\\\\"), QLatin1String("\\")));
        } else if (*p == '#') {
            if (blocks_.isEmpty() && arch_.isEmpty() && startsWith(p, e, "#arch="))
                arch_ = QByteArray(p + 6, e - p - 6).trimmed();
            if (open && inHeader) {
                blocks_.last().headerEnd = l.next;
                blocks_.last().link = blocks_.last().link || startsWith(p, e, "#link");
            }
        } else if (*p == '[') {
            inHeader = parseKeyLine(p, e, l.start, l.next);
            if (!inHeader) {
                damaged_ = true;
                if (open)
                    blocks_.last().end = l.start; // values below belong to no key
            }
        } else if (*p == '"' || *p == '@') {
            inHeader = false;
            damaged_ = !parseValueLine(p, e, l.start, next) || damaged_;
        } else {
            damaged_ = true;
        }
        pos = next;
    }
    if (!blocks_.isEmpty() && blocks_.last().end < 0)
        blocks_.last().end = raw_.size();
    for (int i = 0; i < blocks_.size(); ++i)
        addNode(blocks_[i].path, i);
}

void RegistryText::addNode(const QString& path, int blockIndex)
{
    const QString key = fold(path);
    auto it = nodes_.find(key);
    if (it != nodes_.end()) {
        if (blockIndex >= 0 && it->block < 0)
            it->block = blockIndex;
        return;
    }
    // Recursion depth is bounded by maxDepth (longer key lines are damaged).
    const qsizetype slash = path.lastIndexOf(u'\\');
    const QString parent = slash < 0 ? QString() : path.left(slash);
    Node n;
    n.name = path.mid(slash + 1);
    n.block = blockIndex;
    nodes_.insert(key, n);
    addNode(parent, -1);
    nodes_[fold(parent)].children.insert(fold(n.name), key);
}

QString RegistryText::fold(const QString& s)
{
    // Character by character, so that the folded text keeps its length.
    QString out = s;
    for (QChar& c : out)
        c = c.toUpper();
    return out;
}

const RegistryBlock* RegistryText::block(const QString& path) const
{
    const auto it = nodes_.constFind(fold(cleanPath(path)));
    return it == nodes_.cend() || it->block < 0 ? nullptr : &blocks_[it->block];
}

bool RegistryText::exists(const QString& path) const
{
    return nodes_.contains(fold(cleanPath(path)));
}

QString RegistryText::spelling(const QString& path) const
{
    QString key = fold(cleanPath(path));
    if (!nodes_.contains(key))
        return {};
    QStringList parts;
    while (!key.isEmpty()) {
        parts.prepend(nodes_.value(key).name);
        const qsizetype slash = key.lastIndexOf(u'\\');
        key = slash < 0 ? QString() : key.left(slash);
    }
    return parts.join(u'\\');
}

QStringList RegistryText::children(const QString& path) const
{
    QStringList out;
    const auto it = nodes_.constFind(fold(cleanPath(path)));
    if (it == nodes_.cend())
        return out;
    for (const QString& child : it->children)
        out.append(nodes_.value(child).name);
    return out;
}

bool RegistryText::isLink(const QString& path) const
{
    const RegistryBlock* b = block(path);
    return b && b->link;
}

std::optional<QString> RegistryText::linkTarget(const QString& path) const
{
    const RegistryBlock* b = block(path);
    if (!b || !b->link)
        return std::nullopt;
    for (const RegistryValue& v : b->values) {
        if (fold(v.name) != QLatin1String("SYMBOLICLINKVALUE") || v.type != 6 || v.textForm)
            continue;
        const QString target = formats::Utf16Text::fromLittleEndian(v.bytes);
        return cleanPath(target);
    }
    return std::nullopt;
}

QString RegistryText::knownSpelling(const QString& path) const
{
    const QStringList parts = path.split(u'\\');
    for (qsizetype n = parts.size(); n > 0; --n) {
        const QString head = parts.mid(0, n).join(u'\\');
        if (exists(head))
            return spelling(head) + (n < parts.size() ? u'\\' + parts.mid(n).join(u'\\') : QString());
    }
    return path;
}

QString RegistryText::parentOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'\\');
    return slash < 0 ? QString() : path.left(slash);
}

bool RegistryText::tooDeep(const QString& path)
{
    return path.count(u'\\') >= maxDepth;
}

QByteArray RegistryText::newBlock(const QString& path, qint64 now) const
{
    return "[" + escape(path, ']') + "] " + QByteArray::number(now) + "\n" + fileTime(now);
}

QByteArray RegistryText::escape(const QString& text, char quote)
{
    QByteArray out;
    out.reserve(text.size() + 8);
    static const char escapes[33] = ".......abtnvfr.............e....";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool nextIsHex = i + 1 < text.size() && text[i + 1].unicode() < 128
            && hexDigit(char(text[i + 1].unicode())) >= 0;
        const bool nextIsOctal = i + 1 < text.size() && text[i + 1] >= u'0' && text[i + 1] <= u'7';
        if (c > 127) {
            out += "\\x" + (nextIsHex ? QByteArray::number(c, 16).rightJustified(4, '0') : QByteArray::number(c, 16));
        } else if (c < 32) {
            if (escapes[c] != '.')
                out += QByteArray("\\") + escapes[c];
            else
                out += "\\"
                    + (nextIsOctal ? QByteArray::number(c, 8).rightJustified(3, '0') : QByteArray::number(c, 8));
        } else {
            const bool special = c == '\\' || (quote == '"' && c == '"') || (quote == ']' && (c == '[' || c == ']'));
            if (special)
                out += '\\';
            out += char(c);
        }
    }
    return out;
}

QByteArray RegistryText::emptyFile(const QByteArray& relativeTo)
{
    return QByteArray(kHeader) + "\n;; All keys relative to " + relativeTo + "\n\n";
}

std::optional<QByteArray> RegistryText::withDword(const QString& keyPath, const QString& name, quint32 value,
                                                  qint64 now) const
{
    const QByteArray hex = QByteArray::number(value, 16).rightJustified(8, '0');
    const QByteArray line = (name.isEmpty() ? QByteArray("@") : "\"" + escape(name, '"') + "\"") + "=dword:" + hex
        + "\n";
    const QString path = cleanPath(keyPath);
    if (path.isEmpty())
        return std::nullopt;
    if (const RegistryBlock* b = block(path)) {
        for (const RegistryValue& v : b->values)
            if (fold(v.name) == fold(name))
                return splice(raw_, v.start, v.end - v.start, line);
        const qsizetype at = b->values.isEmpty() ? b->headerEnd : b->values.last().end;
        // A value line must start on a line of its own.
        const QByteArray lead = at > 0 && raw_[at - 1] != '\n' ? "\n" : "";
        return splice(raw_, at, 0, lead + line);
    }
    if (tooDeep(path))
        return std::nullopt;
    const QString spelled = knownSpelling(path);
    QByteArray lead = raw_.endsWith("\n\n") ? "" : raw_.endsWith('\n') ? "\n" : "\n\n";
    return raw_ + lead + newBlock(spelled, now) + line;
}

std::optional<QByteArray> RegistryText::withoutValue(const QString& keyPath, const QString& name) const
{
    const RegistryBlock* b = block(keyPath);
    if (!b)
        return std::nullopt;
    for (const RegistryValue& v : b->values)
        if (fold(v.name) == fold(name))
            return splice(raw_, v.start, v.end - v.start, {});
    return std::nullopt;
}

std::optional<QByteArray> RegistryText::withoutKey(const QString& keyPath, qint64 now) const
{
    const QString path = cleanPath(keyPath);
    if (path.isEmpty() || !exists(path))
        return std::nullopt;
    const QString key = fold(path);
    const QString below = key + u'\\';
    QList<QPair<qsizetype, qsizetype>> ranges;
    for (const RegistryBlock& b : blocks_) {
        const QString f = fold(b.path);
        if (f == key || f.startsWith(below))
            ranges.append({b.start, b.end});
    }
    if (ranges.isEmpty())
        return std::nullopt;
    // The parent exists only through this key: keep it with a block of its own.
    const QString parent = parentOf(path);
    QByteArray keepParent;
    if (!parent.isEmpty() && !block(parent) && nodes_.value(fold(parent)).children.size() == 1)
        keepParent = newBlock(spelling(parent), now) + "\n";
    QByteArray out;
    out.reserve(raw_.size());
    qsizetype pos = 0;
    for (const auto& [start, end] : ranges) {
        out.append(raw_.constData() + pos, start - pos);
        out.append(keepParent);
        keepParent.clear();
        pos = end;
    }
    out.append(raw_.constData() + pos, raw_.size() - pos);
    return out;
}

std::optional<QByteArray> RegistryText::withKey(const QString& keyPath, qint64 now) const
{
    const QString path = cleanPath(keyPath);
    if (path.isEmpty() || exists(path) || tooDeep(path))
        return std::nullopt;
    QByteArray lead = raw_.endsWith("\n\n") ? "" : raw_.endsWith('\n') ? "\n" : "\n\n";
    return raw_ + lead + newBlock(knownSpelling(path), now);
}

} // namespace formats
