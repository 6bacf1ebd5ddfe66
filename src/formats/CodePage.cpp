#include "formats/CodePage.h"

#include <QByteArray>
#include <QHash>
#include <QStringDecoder>

namespace formats {

namespace {

// Qt's converter for a Windows code page number; invalid when it has none.
// Invalid input reads as NUL, which toUnicode() turns into U+FFFD: the input
// holds no NUL of its own there.
QStringDecoder decoderFor(int codePage)
{
    const auto flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInvalidToNull;
    if (codePage == 65001)
        return QStringDecoder(QStringDecoder::Utf8, flags);
    if (codePage <= 0)
        return QStringDecoder();
    return QStringDecoder(QByteArray("windows-" + QByteArray::number(codePage)).constData(), flags);
}

} // namespace

bool CodePage::isDoubleByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool CodePage::canDecode(int codePage)
{
    return decoderFor(codePage).isValid();
}

std::optional<QString> CodePage::toUnicode(int codePage, QByteArrayView bytes)
{
    QStringDecoder decoder = decoderFor(codePage);
    if (!decoder.isValid())
        return std::nullopt;
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        bytes.truncate(nul);
    // The terminator goes through the converter too: a lead byte at the end
    // then meets it and is read as one invalid character instead of being
    // dropped, and the terminator itself comes out as the last character.
    QByteArray terminated = bytes.toByteArray();
    terminated.append('\0');
    QString text = decoder.decode(terminated);
    if (!text.isEmpty() && text.back().isNull())
        text.chop(1);
    text.replace(QChar(0), QChar::ReplacementCharacter);
    return text;
}

int CodePage::forLocale(const QByteArray& locale)
{
    // language[_TERRITORY][.codeset][@modifier]
    QByteArray lang = locale;
    const qsizetype cut = lang.indexOf('.') >= 0 ? lang.indexOf('.') : lang.indexOf('@');
    if (cut >= 0)
        lang.truncate(cut);
    const qsizetype under = lang.indexOf('_');
    const QByteArray language = (under >= 0 ? lang.left(under) : lang).toLower();
    const QByteArray territory = under >= 0 ? lang.mid(under + 1).toUpper() : QByteArray();
    const bool latin = locale.contains("@latin");
    static const QHash<QByteArray, int> byLanguage = {
        {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251},  {"sr", 1251}, {"mk", 1251}, {"kk", 1251}, {"ky", 1251},
        {"tt", 1251}, {"mn", 1251}, {"ba", 1251}, {"sah", 1251}, {"tg", 1251}, {"cs", 1250}, {"sk", 1250}, {"pl", 1250},
        {"hu", 1250}, {"ro", 1250}, {"hr", 1250}, {"sl", 1250},  {"sq", 1250}, {"bs", 1250}, {"el", 1253}, {"tr", 1254},
        {"az", 1254}, {"uz", 1254}, {"he", 1255}, {"ar", 1256},  {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lt", 1257},
        {"lv", 1257}, {"vi", 1258}, {"th", 874},  {"ja", 932},   {"ko", 949},
    };
    if (language == "zh")
        return (territory == "TW" || territory == "HK" || territory == "MO") ? 950 : 936;
    if (language == "sr" && latin)
        return 1250;
    if ((language == "az" || language == "uz") && !latin && locale.contains("@cyrillic"))
        return 1251;
    return byLanguage.value(language, 1252);
}

} // namespace formats
