#pragma once
// Which program the platform may start: only one nobody else could have
// planted. Both the wineserver and the desktop database tools are found this
// way.

#include <QByteArray>

namespace platform::posix {

// True when path (links resolved) is a regular executable file in a folder,
// each belonging to root or this user and writable by neither group nor
// others.
bool trustedExecutable(const QByteArray& path);

// The first executable name in an absolute folder of PATH (relative folders
// and a name holding "/" are never used); empty when there is none.
// Whether it may be trusted is trustedExecutable()'s to say.
QByteArray findOnPath(const QByteArray& name);

} // namespace platform::posix
