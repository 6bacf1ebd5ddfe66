#pragma once
// Reading what a plug-in hands over (texts, variants, images) without
// trusting it: a NULL pointer, a negative size or an unknown tag gives an
// empty result, never a crash in the host.

#include "plugins/varnel_plugin.h"

#include <QList>
#include <QString>

// A command image copied out of the plug-in: 32-bit ARGB pixels, rows of
// width pixels. Null (0 × 0) when the plug-in gave none or a bad one.
struct TmxPluginImage {
    int width = 0;
    int height = 0;
    QList<quint32> pixels;
    bool isNull() const { return width <= 0 || height <= 0; }
};

namespace PluginText {

// The UTF-8 text at text; "" for NULL. Bad byte sequences become U+FFFD.
QString fromPlugin(const char* text);

// A malloc'd NUL-terminated UTF-8 copy of text for the plug-in side; the
// receiver frees it with free(). nullptr only when memory runs out.
char* toPlugin(const QString& text);

// The variant as text: "" for empty, null and unknown tags; integers in
// decimal; doubles in the shortest form that reads back the same;
// booleans "True"/"False"; text as it is.
QString ofVariant(const VrVariant& value);

// A copy of the image; null when image is NULL, a side is not between 1 and
// maxSide, the pixels are NULL or the stride is shorter than a row.
constexpr int maxSide = 1024;
TmxPluginImage imageOf(const VrImage* image);

} // namespace PluginText
