#include "cli/PrintableText.h"

#include <algorithm>

namespace PrintableText {

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}

void appendEscape(QString& out, char16_t c)
{
    static const char16_t named[] = u"abtnvfr";
    if (c >= 7 && c <= 13) {
        out += u'\\';
        out += named[c - 7];
        return;
    }
    static const char digits[] = "0123456789abcdef";
    out += QStringLiteral("\\x");
    out += QLatin1Char(digits[c >> 4]);
    out += QLatin1Char(digits[c & 0xf]);
}

} // namespace

QString escaped(const QString& text)
{
    const auto control = [](QChar c) { return isControl(c.unicode()); };
    if (std::none_of(text.cbegin(), text.cend(), control))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (isControl(c.unicode()))
            appendEscape(out, c.unicode());
        else
            out += c;
    }
    return out;
}

} // namespace PrintableText
