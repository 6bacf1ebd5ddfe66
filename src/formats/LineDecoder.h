#pragma once
// Turns one line of a hand-edited text file into text, line by line, so
// that one line in the old single-byte code page does not change how the
// other lines are read.

#include <QByteArrayView>
#include <QString>

namespace formats {

class LineDecoder {
public:
    // The line as text: UTF-8 when its bytes are valid UTF-8; otherwise the
    // Windows Cyrillic code page (windows-1251), which is what the Windows
    // program wrote. One exception: when lastInFile and the only fault is a
    // UTF-8 sequence cut off by the end of the file, the line is UTF-8 and
    // each byte of the cut sequence reads as U+FFFD, so nothing vanishes.
    // A U+FEFF at the start of raw is a character of the line, never taken
    // for a byte-order mark: only the caller knows where the file starts.
    static QString decode(QByteArrayView raw, bool lastInFile);

    // The length of the longest prefix of raw that is valid UTF-8 (no
    // overlong forms, surrogates or code points above U+10FFFF).
    static qsizetype validUtf8Length(QByteArrayView raw);

    // True when bytes is the start of a valid UTF-8 sequence that lacks its
    // last byte or bytes.
    static bool isTruncatedUtf8(QByteArrayView bytes);

    // bytes read in windows-1251; never fails (0x98, unassigned, reads as
    // U+0098 as the Windows conversion gives it).
    static QString fromWindows1251(QByteArrayView bytes);
};

} // namespace formats
