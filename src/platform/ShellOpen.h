#pragma once
// The shell's "open" verb: a path, an http:/https: or mailto: address, or a
// res://<library>/<page> address of one of the program's help libraries.

#include <QString>
#include <functional>

namespace platform {

class ShellOpen {
public:
    using Handler = std::function<bool(const QString& target)>;

    // Opens target with the desktop's opener (res:// addresses with the
    // handler the program registered for them). Returns false when the
    // target cannot be mapped or nothing would open it.
    static bool open(const QString& target);

    // Opens a folder in the file manager.
    static bool openFolder(const QString& winPath);

    // Replaces the whole opener (tests record the targets instead); an empty
    // handler restores the desktop's.
    static void setHandler(Handler handler);

    // The program's viewer for res:// addresses.
    static void setResourceHandler(Handler handler);
};

} // namespace platform
