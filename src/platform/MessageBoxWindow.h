#pragma once
// The real message box: a modal QMessageBox. The window program installs it
// at start; until then (and in a program without a display) boxes go to
// standard error.

namespace platform {

class MessageBoxWindow {
public:
    // Makes MessageBoxService show modal QMessageBoxes from now on.
    static void install();
};

} // namespace platform
