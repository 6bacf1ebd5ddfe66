#pragma once
// Bitmaps of the image library vrimgs.dll, loaded by identifier: the library
// is loaded for each image and released at once.

#include <QImage>
#include <optional>

class ImageLibrary {
public:
    // The bitmap with this identifier; nullopt when the library or the
    // bitmap is missing.
    static std::optional<QImage> Load(int id);

    // The text of the error box shown when an image cannot be loaded.
    static QString ErrorText();
};
