#include "app/ImageLibrary.h"

#include "platform/DynamicLibrary.h"

using platform::DynamicLibrary;

namespace {

const QString libraryName = QStringLiteral("vrimgs.dll");

// The batch in force: whether there is one, and the library it loaded
// (nullptr when the library could not be loaded).
bool batchOpen = false;
DynamicLibrary::Handle batchLibrary;

std::optional<QImage> imageFrom(const DynamicLibrary::Handle& library, int id)
{
    if (!library)
        return std::nullopt;
    const QImage image = QImage::fromData(DynamicLibrary::bitmap(library, id), "PNG");
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

ImageLibrary::Batch::Batch()
    : outermost_(!batchOpen)
{
    if (!outermost_)
        return;
    batchOpen = true;
    batchLibrary = DynamicLibrary::load(libraryName);
}

ImageLibrary::Batch::~Batch()
{
    if (!outermost_)
        return;
    batchLibrary.reset();
    batchOpen = false;
}

std::optional<QImage> ImageLibrary::Load(int id)
{
    if (batchOpen)
        return imageFrom(batchLibrary, id);
    return imageFrom(DynamicLibrary::load(libraryName), id);
}

QString ImageLibrary::ErrorText()
{
    return QStringLiteral(
        "Ошибка! Не удалось загрузить библиотеку \"vrimgs.dll\". Часть изображений будет отсутствовать.");
}
