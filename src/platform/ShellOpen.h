#pragma once
// The shell's "open" verb: a path, an http:/https: or mailto: address, or a
// res://<library>/<page> address of one of the program's help libraries.

#include <QString>
#include <functional>

namespace platform {

// How the opened window should appear, with the shell's numbers.
enum class ShowCommand { Hide = 0, Normal = 1, Maximized = 3 };

// One request to the shell, as the program makes it.
struct ShellCall {
    QString target;
    ShowCommand show = ShowCommand::Normal;
    bool withOwner = false; // made on behalf of the application's window
};

class ShellOpen {
public:
    using Handler = std::function<bool(const QString& target)>;
    using CallHandler = std::function<bool(const ShellCall& call)>;

    // Opens target with the desktop's opener (res:// addresses with the
    // handler the program registered for them). Returns false when the
    // target cannot be mapped or nothing would open it.
    static bool open(const QString& target);

    // The same with the window's show command and owner; the desktop's
    // opener decides the look of its own windows, so only the program's
    // res:// viewer is affected by them.
    static bool open(const ShellCall& call);

    // Opens a folder in the file manager.
    static bool openFolder(const QString& winPath);

    // Replaces the whole opener (tests record the targets instead); an empty
    // handler restores the desktop's.
    static void setHandler(Handler handler);
    // The same, seeing every detail of each call.
    static void setCallHandler(CallHandler handler);

    // The program's viewer for res:// addresses.
    static void setResourceHandler(Handler handler);
};

} // namespace platform
