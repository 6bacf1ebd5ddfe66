#pragma once
// The kinds of row the Wine leftovers finder lists: the Finding's kind, the
// command line's --kind values.

#include <QString>

namespace LeftoverKinds {
inline QString protonPrefix() { return QStringLiteral("proton-prefix"); }
inline QString shaderCache() { return QStringLiteral("shader-cache"); }
inline QString menu() { return QStringLiteral("menu"); }
inline QString cache() { return QStringLiteral("cache"); }
} // namespace LeftoverKinds
