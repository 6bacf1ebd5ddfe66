#pragma once
// F1 in a window opens that window's page of the help book vrhelp.dll in
// the program's help window (a res:// address handed to the shell).

#include <QString>

class QWidget;

namespace HelpKey {

// "res://<program folder>vrhelp.dll/<page>".
QString address(const QString& page);

// Hands the page's address to the shell, maximized and with no owner
// window. Any failure is swallowed: a missing help book shows nothing.
void open(const QString& page);

// Makes F1 anywhere in window open page. The shortcut belongs to window.
void install(QWidget* window, const QString& page);

} // namespace HelpKey
