#include "plugins/PluginText.h"

#include <QLocale>

#include <cstdlib>
#include <cstring>

namespace PluginText {

QString fromPlugin(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

char* toPlugin(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    char* copy = static_cast<char*>(std::malloc(size_t(utf8.size()) + 1));
    if (copy)
        std::memcpy(copy, utf8.constData(), size_t(utf8.size()) + 1);
    return copy;
}

QString ofVariant(const VrVariant& value)
{
    switch (value.type) {
    case VR_VT_INT32:
        return QString::number(value.value.int32Value);
    case VR_VT_INT64:
        return QString::number(qlonglong(value.value.int64Value));
    case VR_VT_DOUBLE:
        return QString::number(value.value.doubleValue, 'g', QLocale::FloatingPointShortest);
    case VR_VT_BOOL:
        return value.value.boolValue ? QStringLiteral("True") : QStringLiteral("False");
    case VR_VT_TEXT:
        return fromPlugin(value.value.text);
    default:
        return {};
    }
}

TmxPluginImage imageOf(const VrImage* image)
{
    if (!image || !image->pixels || image->width < 1 || image->height < 1 || image->width > maxSide
        || image->height > maxSide)
        return {};
    const qsizetype rowBytes = qsizetype(image->width) * 4;
    const qsizetype stride = image->stride == 0 ? rowBytes : image->stride;
    if (stride < rowBytes)
        return {};
    TmxPluginImage copy;
    copy.width = image->width;
    copy.height = image->height;
    copy.pixels.resize(qsizetype(image->width) * image->height);
    const auto* bytes = reinterpret_cast<const unsigned char*>(image->pixels);
    for (int y = 0; y < image->height; ++y)
        std::memcpy(copy.pixels.data() + qsizetype(y) * image->width, bytes + y * stride, size_t(rowBytes));
    return copy;
}

} // namespace PluginText
