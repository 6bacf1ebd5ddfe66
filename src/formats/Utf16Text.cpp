#include "formats/Utf16Text.h"

#include <QStringDecoder>

namespace formats {

QString Utf16Text::fromLittleEndian(QByteArrayView bytes)
{
    // Qt's decoder would take a leading mark away and turn a lone last byte
    // into a replacement character; what was stored is what is shown.
    QStringDecoder decoder(QStringDecoder::Utf16LE,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes.first(bytes.size() & ~qsizetype(1)));
}

} // namespace formats
