#pragma once
// The folder plug-in libraries load from, and whether a library in it may
// be trusted with running code in the program.
//
// A plug-in runs native code with the user's rights, so a library loads
// only from inside the plug-in folder it was found in (the program's own or
// the user's), only when neither it nor any folder from that plug-in folder
// down to it is a link, is writable by group or others, or belongs to
// anyone but the user running the program or root. Otherwise another user
// could plant code that runs as this one.

#include "platform/DynamicLibrary.h"

#include <QString>

namespace platform {

class PluginFolder {
public:
    // Creates the folder (one level, mode 0755) when it is missing. Returns
    // false when it is missing afterwards; an existing folder is left as it is.
    static bool ensureExists(const QString& winFolder);

    // True when the folder exists (a link to one counts: it is judged
    // entry by entry when its plug-ins load).
    static bool exists(const QString& winFolder);

    // True when winFile lies inside winFolder (both Windows form) and passes
    // the checks above: every step from winFolder down to winFile is
    // examined without following links; winFile must be a regular file.
    static bool trusts(const QString& winFolder, const QString& winFile);

    // Loads winFile as trusts() judges it, from the very file that was
    // judged: each step is opened once, checked on its descriptor, and the
    // library loaded through that descriptor. nullptr when it is not
    // trusted or does not load; the caller owns the handle.
    static DynamicLibrary::Handle loadTrusted(const QString& winFolder, const QString& winFile);
};

} // namespace platform
