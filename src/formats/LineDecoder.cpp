#include "formats/LineDecoder.h"

#include <QStringDecoder>

namespace formats {

namespace {

const char16_t kUpperHalf1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Length of the sequence a lead byte opens (0 for a byte that cannot lead)
// and the range its second byte must fall in.
struct Lead {
    int length;
    unsigned char low, high;
};

Lead leadOf(unsigned char b)
{
    if (b < 0x80)
        return {1, 0, 0};
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, 0xBF};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF}; // no overlong forms
    if (b == 0xED)
        return {3, 0x80, 0x9F}; // no surrogates
    if (b >= 0xE1 && b <= 0xEF)
        return {3, 0x80, 0xBF};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4, 0x80, 0xBF};
    if (b == 0xF4)
        return {4, 0x80, 0x8F}; // nothing above U+10FFFF
    return {0, 0, 0};
}

// How many bytes from at form a valid sequence that fits in raw: the
// sequence's length when complete, 0 when invalid; a sequence cut short by
// the end of raw gives -(bytes present).
qsizetype sequenceAt(QByteArrayView raw, qsizetype at)
{
    const Lead lead = leadOf(uchar(raw[at]));
    if (lead.length <= 1)
        return lead.length;
    for (int i = 1; i < lead.length; ++i) {
        if (at + i >= raw.size())
            return -i;
        const uchar b = uchar(raw[at + i]);
        const uchar low = i == 1 ? lead.low : 0x80;
        const uchar high = i == 1 ? lead.high : 0xBF;
        if (b < low || b > high)
            return 0;
    }
    return lead.length;
}

// UTF-8 text keeping a leading U+FEFF: a line is never the file's start, so
// a mark there is a character of the line (QString::fromUtf8 drops it).
QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

} // namespace

qsizetype LineDecoder::validUtf8Length(QByteArrayView raw)
{
    qsizetype at = 0;
    while (at < raw.size()) {
        if (uchar(raw[at]) < 0x80) {
            ++at;
            continue;
        }
        const qsizetype n = sequenceAt(raw, at);
        if (n <= 0)
            break;
        at += n;
    }
    return at;
}

bool LineDecoder::isTruncatedUtf8(QByteArrayView bytes)
{
    return !bytes.isEmpty() && sequenceAt(bytes, 0) == -bytes.size();
}

QString LineDecoder::fromWindows1251(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        out[i] = b < 0x80 ? QChar(b) : QChar(kUpperHalf1251[b - 0x80]);
    }
    return text;
}

QString LineDecoder::decode(QByteArrayView raw, bool lastInFile)
{
    const qsizetype valid = validUtf8Length(raw);
    if (valid == raw.size())
        return fromUtf8(raw);
    const QByteArrayView rest = raw.sliced(valid);
    if (lastInFile && isTruncatedUtf8(rest))
        return fromUtf8(raw.first(valid)) + QString(rest.size(), QChar::ReplacementCharacter);
    return fromWindows1251(raw);
}

} // namespace formats
