#include "app/ImageLibrary.h"

#include "platform/DynamicLibrary.h"

using platform::DynamicLibrary;

std::optional<QImage> ImageLibrary::Load(int id)
{
    DynamicLibrary::Handle library = DynamicLibrary::load(QStringLiteral("vrimgs.dll"));
    if (!library)
        return std::nullopt;
    const QImage image = QImage::fromData(DynamicLibrary::bitmap(library, id), "PNG");
    DynamicLibrary::release(library);
    if (image.isNull())
        return std::nullopt;
    return image;
}

QString ImageLibrary::ErrorText()
{
    return QStringLiteral("Ошибка! Не удалось загрузить библиотеку \"vrimgs.dll\". Часть изображений будет отсутствовать.");
}
