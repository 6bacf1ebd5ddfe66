#pragma once
// Bitmaps of the image library vrimgs.dll, loaded by identifier. A single
// image loads the library and releases it at once; a Batch keeps it loaded
// while a window takes several images in a row (a paint sets every tool
// button), so the library is loaded once for all of them.
//
// For the GUI thread only: the batch in force is one per program.

#include <QImage>
#include <optional>

class ImageLibrary {
public:
    // Keeps the library loaded from construction to destruction: every
    // Load() in that time takes its image from this one load, and when the
    // library is missing, fails without trying it again. A batch made while
    // another is in force changes nothing and leaves the outer one in force.
    class Batch {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        bool outermost_;
    };

    // The bitmap with this identifier; nullopt when the library or the
    // bitmap is missing.
    static std::optional<QImage> Load(int id);

    // The text of the error box shown when an image cannot be loaded.
    static QString ErrorText();
};
