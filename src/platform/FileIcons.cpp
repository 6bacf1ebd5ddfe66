#include "platform/FileIcons.h"

#include "platform/WinPath.h"

#include <QApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>

namespace platform {

namespace {

QMimeType typeOf(const QString& winPath)
{
    static const QMimeDatabase db;
    return db.mimeTypeForFile(WinPath::extractFileName(winPath), QMimeDatabase::MatchExtension);
}

QIcon standardIcon(QStyle::StandardPixmap which)
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app->style()->standardIcon(which);
    return {};
}

} // namespace

QIcon FileIcons::icon(const QString& winPath)
{
    static QHash<QString, QIcon> cache;
    const QMimeType type = typeOf(winPath);
    const auto hit = cache.constFind(type.name());
    if (hit != cache.constEnd())
        return *hit;
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = standardIcon(QStyle::SP_FileIcon);
    cache.insert(type.name(), icon);
    return icon;
}

QIcon FileIcons::folderIcon()
{
    QIcon icon = QIcon::fromTheme(QStringLiteral("folder"));
    return icon.isNull() ? standardIcon(QStyle::SP_DirIcon) : icon;
}

QString FileIcons::typeName(const QString& winPath)
{
    return typeOf(winPath).comment();
}

} // namespace platform
