#pragma once
// Which views of the machine's SOFTWARE key the registry lists read: the
// native view, and on a 64-bit machine the 32-bit programs' view, kept
// below SOFTWARE\Wow6432Node. The autorun list and the installed-program
// list, and so their windows and the command line, take the choice from
// here and make it nowhere else.

#include <QList>
#include <QString>

class RegistryViews {
public:
    // The views to read, native first: {false}, or {false, true} (true is
    // the 32-bit view) when the machine is 64-bit.
    static QList<bool> machine();

    // softwarePath, a path below HKEY_LOCAL_MACHINE that starts with
    // "SOFTWARE\", as the view sees it: unchanged for the native view,
    // with "Wow6432Node\" after "SOFTWARE\" for the 32-bit one.
    static QString path(const QString& softwarePath, bool view32);
};
