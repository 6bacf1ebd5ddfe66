#pragma once
// What Wine's desktop integration left for prefixes that are gone, below
// the user's XDG data and config folders: its desktop entries
// (applications/wine/**, applications/wine-extension-*.desktop and
// wine-protocol-*.desktop) whose prefix holds no system.reg, and the files
// they share by name, each only when nothing that remains still needs it:
// their icons, the mime packages of their extensions, the merged .menu
// files and the .directory files those name. An entry whose prefix cannot
// be told, or a file that cannot be read, keeps everything it might need.

#include "core/JobSink.h"

#include <QByteArray>

class MenuLeftovers {
public:
    struct Folders {
        QByteArray home;       // for the default prefix ~/.wine and the desktop
        QByteArray dataHome;   // $XDG_DATA_HOME
        QByteArray configHome; // $XDG_CONFIG_HOME
    };

    // Lists the leftovers to sink.
    static void scan(const Folders& folders, core::JobSink& sink);
};
