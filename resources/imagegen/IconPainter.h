#pragma once
// Draws the program's pictures: the tool bar images (normal and
// highlighted), the two status images and the small menu images. Every
// picture is drawn in a 32-unit square and scaled, so one drawing serves
// every size.

#include <QImage>
#include <QString>

namespace IconPainter {

enum class Picture {
    Search,
    Stop,
    Estimate,
    Delete,
    Addons,
    Options,
    Exit, // tool bar, in button order
    StatusBusy,
    StatusIdle,
    Update,
    ClearSelected,
    Uninstall,
    Autorun,
    Folder,
    Shortcut,
};

// The picture at size x size pixels; highlighted pictures are lighter and
// sit on a soft glow, for the button under the mouse.
QImage draw(Picture picture, int size, bool highlighted = false);

} // namespace IconPainter
