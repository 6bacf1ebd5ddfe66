#pragma once
// The ANSI code page: how single-byte Windows text (such as the ANSI
// strings of a shortcut) is to be read.

#include <QByteArray>

namespace platform {

class CodePage {
public:
    // VARNEL_CODEPAGE when it holds a number; else, inside a Wine prefix,
    // the prefix's ACP; else the one Wine derives from the locale's
    // language (ru, uk, be, bg, sr, mk ... -> 1251; otherwise 1252).
    static int ansi();

    // The code page Wine gives a locale name such as "ru_RU.UTF-8".
    static int forLocale(const QByteArray& locale);
};

} // namespace platform
