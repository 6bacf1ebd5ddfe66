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

// The icon of the type of winPath, whose extension makes key.
QIcon iconByType(const QString& key, const QString& winPath)
{
    static QHash<QString, QIcon> byKey, byType;
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

} // namespace

QIcon FileIcons::icon(const QString& winPath)
{
    // Cached by extension, then by type: a search lists thousands of files
    // of a handful of types, mostly of one type one after another.
    static QString lastSpelling;
    static QIcon lastIcon;
    const QStringView extension = FileTypes::extensionOf(winPath);
    if (!lastIcon.isNull() && extension == lastSpelling)
        return lastIcon;
    lastSpelling = extension.toString();
    lastIcon = iconByType(FileTypes::cacheKey(winPath), winPath);
    return lastIcon;
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
