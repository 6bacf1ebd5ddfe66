#pragma once
// Download caches Wine and its front ends keep: the Gecko and Mono
// installers ($XDG_CACHE_HOME/wine/*.msi), winetricks' downloads (each
// folder of $XDG_CACHE_HOME/winetricks) and Bottles' temporary files
// ($XDG_DATA_HOME/bottles/temp/*, native and Flatpak). They save a download,
// and some can no longer be downloaded: listed, never chosen by default.

#include "core/JobSink.h"

#include <QByteArray>
#include <functional>

class CacheLeftovers {
public:
    struct Folders {
        QByteArray home;
        QByteArray dataHome;
        QByteArray cacheHome;
    };

    static void scan(const Folders& folders, core::JobSink& sink, const std::function<bool()>& stop);
};
