#include "formats/HostNameCodec.h"

#include <array>

namespace formats::HostNameCodec {

namespace {

constexpr char16_t kEscapedByteBase = 0xDC00; // + byte 0x80..0xFF
constexpr char16_t kReservedBase = 0xF000;    // + reserved ASCII character

constexpr bool isReserved(unsigned char c)
{
    switch (c) {
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
        return true;
    default:
        return false;
    }
}

// Length of a valid UTF-8 sequence at p (1..4), or 0 when it is not valid.
int validSequence(const unsigned char* p, qsizetype avail, char32_t& cp)
{
    const unsigned char b0 = p[0];
    int len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else
        return 0;
    if (avail < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

// A host name may hold the very characters that stand in for reserved
// ones (Samba, Cygwin and WSL store "*" as U+F02A): such a character is
// kept as its bytes, so it never reads as the reserved character itself
// and every host name converts back to exactly its own bytes.
bool isReservedStandIn(char32_t cp)
{
    return cp > kReservedBase && cp < kReservedBase + 0x80 && isReserved(uchar(cp - kReservedBase));
}

// 1 for each byte that does not stand for itself: a reserved character or
// any byte of a multi-byte sequence.
constexpr auto kNotPlain = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[size_t(b)] = b >= 0x80 || isReserved(uchar(b));
    return t;
}();

// Widens p into out and tells whether that was the whole decoding: one
// pass without a branch per byte, for the names nearly all folders hold.
bool widenPlain(const unsigned char* p, qsizetype size, char16_t* out)
{
    unsigned notPlain = 0;
    for (qsizetype i = 0; i < size; ++i) {
        out[i] = p[i];
        notPlain |= kNotPlain[p[i]];
    }
    return notPlain == 0;
}

} // namespace

QString decode(const char* bytes, qsizetype size)
{
    QString out;
    decodeInto(bytes, size, out);
    return out;
}

void decodeInto(const char* bytes, qsizetype size, QString& out)
{
    const qsizetype start = out.size();
    out.resize(start + size);
    const qsizetype written = decodeTo(bytes, size, reinterpret_cast<char16_t*>(out.data()) + start);
    out.truncate(start + written);
}

qsizetype decodeTo(const char* bytes, qsizetype size, char16_t* out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    if (widenPlain(p, size, out))
        return size;
    char16_t* dst = out;
    for (qsizetype i = 0; i < size;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            *dst++ = isReserved(b) ? char16_t(kReservedBase + b) : char16_t(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int len = validSequence(p + i, size - i, cp);
        if (len && !isReservedStandIn(cp)) {
            // len is 4 exactly when cp needs a surrogate pair, so dst never
            // outruns the bytes read
            if (QChar::requiresSurrogates(cp)) {
                *dst++ = QChar::highSurrogate(cp);
                *dst++ = QChar::lowSurrogate(cp);
            } else {
                *dst++ = char16_t(cp);
            }
            i += len;
        } else {
            *dst++ = char16_t(kEscapedByteBase + b);
            ++i;
        }
    }
    return dst - out;
}

QByteArray encode(QStringView name)
{
    QByteArray out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u < 0x80) {
            out.append(char(u));
        } else if (u >= kEscapedByteBase + 0x80 && u <= kEscapedByteBase + 0xFF) {
            out.append(char(u - kEscapedByteBase));
        } else if (u > kReservedBase && u < kReservedBase + 0x80 && isReserved(u - kReservedBase)) {
            out.append(char(u - kReservedBase));
        } else if (QChar::isHighSurrogate(u) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            out.append(name.mid(i, 2).toUtf8());
            ++i;
        } else {
            out.append(QString(name[i]).toUtf8());
        }
    }
    return out;
}

} // namespace formats::HostNameCodec
