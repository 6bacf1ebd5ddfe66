#pragma once
// Names as the plain report, the progress line and the lists print them.
// A name may hold any character but "/" and NUL: a line break in it could
// forge a line of the report, an escape sequence could rewrite the
// terminal. Such characters are printed C-escaped instead; the JSON report
// escapes them by itself.

#include <QString>

namespace PrintableText {

// text with every control character (U+0000..U+001F, U+007F and
// U+0080..U+009F) written as a C escape: \a \b \t \n \v \f \r, else \xHH.
// A backslash stays as it is: it separates every Windows-form path.
QString escaped(const QString& text);

} // namespace PrintableText
