#pragma once
// Windows code pages: which one a locale means, and reading text that is
// not Unicode (such as the ANSI strings of a shortcut) in one.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace formats {

class CodePage {
public:
    // The code page Wine gives a locale name such as "ru_RU.UTF-8".
    static int forLocale(const QByteArray& locale);

    // True for the double-byte ANSI code pages (932, 936, 949, 950), where a
    // lead byte and the byte after it make one character.
    static bool isDoubleByte(int codePage);

    // True when toUnicode() can read codePage.
    static bool canDecode(int codePage);

    // bytes up to their first NUL, read in codePage. A byte or pair the code
    // page has no character for reads as U+FFFD, and so does a lead byte
    // with nothing after it: one character, never dropped and never joined
    // with bytes beyond the string. nullopt when codePage cannot be read.
    static std::optional<QString> toUnicode(int codePage, QByteArrayView bytes);
};

} // namespace formats
