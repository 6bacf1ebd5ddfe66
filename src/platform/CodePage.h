#pragma once
// The ANSI code page: how Windows text that is not Unicode (such as the
// ANSI strings of a shortcut) is to be read, and reading it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace platform {

class CodePage {
public:
    // VARNEL_CODEPAGE when it holds a number; else, inside a Wine prefix,
    // the prefix's ACP; else the one Wine derives from the locale's
    // language (ru, uk, be, bg, sr, mk ... -> 1251; otherwise 1252).
    static int ansi();

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

} // namespace platform
