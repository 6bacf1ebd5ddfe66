#include "platform/FileIcons.h"

#include "platform/FileTypes.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

namespace platform {

namespace {

QIcon standardIcon(QStyle::StandardPixmap which)
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app->style()->standardIcon(which);
    return {};
}

} // namespace

QIcon FileIcons::icon(const QString& winPath)
{
    static QHash<QString, QIcon> byKey, byType;
    // Cached by extension, then by type: a search lists thousands of files
    // of a handful of types.
    const QString key = FileTypes::cacheKey(winPath);
    if (const auto hit = byKey.constFind(key); hit != byKey.constEnd())
        return *hit;
    const QMimeType type = FileTypes::of(winPath);
    if (const auto hit = byType.constFind(type.name()); hit != byType.constEnd()) {
        byKey.insert(key, *hit);
        return *hit;
    }
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = standardIcon(QStyle::SP_FileIcon);
    byType.insert(type.name(), icon);
    byKey.insert(key, icon);
    return icon;
}

QIcon FileIcons::folderIcon()
{
    QIcon icon = QIcon::fromTheme(QStringLiteral("folder"));
    return icon.isNull() ? standardIcon(QStyle::SP_DirIcon) : icon;
}

QIcon FileIcons::driveIcon()
{
    QIcon icon = QIcon::fromTheme(QStringLiteral("drive-harddisk"));
    return icon.isNull() ? standardIcon(QStyle::SP_DriveHDIcon) : icon;
}

} // namespace platform
