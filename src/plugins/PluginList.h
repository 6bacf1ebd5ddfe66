#pragma once
// The lines of plugins.list, the list of plug-ins the program loaded at its
// last start (the options dialog shows it).

#include <QStringList>

class TmxPluginLoader;

namespace PluginList {

// One line per loaded plug-in: the normal ones in load order as
// Title + " v" + VersionText + " (" + Note + ")", then the small ones in
// load order as Title alone.
QStringList lines(const TmxPluginLoader& loader);

// True for a name a command's menu item can carry: letters, digits and
// underscores, not beginning with a digit; the empty name too.
bool isValidCommandName(const QString& name);

} // namespace PluginList
