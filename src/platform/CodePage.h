#pragma once
// The ANSI code page of the environment the program works in: how Windows
// text that is not Unicode is to be read here. Reading it is the format's
// (formats::CodePage), whose functions this class offers too.

#include "formats/CodePage.h"

namespace platform {

class CodePage : public formats::CodePage {
public:
    // VARNEL_CODEPAGE when it holds a number; else, inside a Wine prefix,
    // the prefix's ACP; else the one Wine derives from the locale's
    // language (ru, uk, be, bg, sr, mk ... -> 1251; otherwise 1252).
    static int ansi();
};

} // namespace platform
