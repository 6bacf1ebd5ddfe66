#pragma once
// Text that Windows keeps as UTF-16LE bytes (registry strings, the Unicode
// strings of a shortcut), decoded in one place.

#include <QByteArrayView>
#include <QString>

namespace formats {

class Utf16Text {
public:
    // The code units of bytes, exactly as stored: a leading byte-order mark
    // and unpaired surrogates stay (a caller that must refuse those checks
    // QStringView::isValidUtf16), an odd last byte is dropped. Never fails.
    static QString fromLittleEndian(QByteArrayView bytes);
};

} // namespace formats
