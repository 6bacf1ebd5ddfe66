#pragma once
// The kinds of row the Wine leftovers finder lists: the Finding's kind, the
// command line's --kind values.

#include <QLocale>
#include <QString>

namespace LeftoverKinds {
inline QString protonPrefix() { return QStringLiteral("proton-prefix"); }
inline QString shaderCache() { return QStringLiteral("shader-cache"); }
inline QString menu() { return QStringLiteral("menu"); }
inline QString cache() { return QStringLiteral("cache"); }

// A size as the window and the rows' notes show it: "512 байт", "1,6 КБ".
inline QString sizeText(quint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 байт").arg(bytes);
    static const char* const units[] = {"КБ", "МБ", "ГБ", "ТБ"};
    double value = double(bytes) / 1024;
    int unit = 0;
    for (; value >= 1024 && unit < 3; ++unit)
        value /= 1024;
    return QLocale(QLocale::Russian).toString(value, 'f', 1) + u' ' + QString::fromUtf8(units[unit]);
}
} // namespace LeftoverKinds
