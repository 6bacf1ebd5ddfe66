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

// The key under which a name's icon is kept: its extension; one key for
// all names without one. Telling the type from the name costs a pattern
// search, and a search lists thousands of files of a handful of extensions
// (and of as many extensionless names, which would each cost a search).
static QString iconKey(const QString& winPath)
{
    const QString name = WinPath::extractFileName(winPath);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot).toLower() : QString();
}

QIcon FileIcons::icon(const QString& winPath)
{
    static QHash<QString, QIcon> byKey, byType;
    const QString key = iconKey(winPath);
    if (const auto hit = byKey.constFind(key); hit != byKey.constEnd())
        return *hit;
    const QMimeType type = key.isEmpty() ? QMimeDatabase().mimeTypeForName(QStringLiteral("application/octet-stream"))
                                         : typeOf(winPath);
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

QString FileIcons::typeName(const QString& winPath)
{
    static QHash<QString, QString> byKey;
    const QString key = iconKey(winPath);
    if (const auto hit = byKey.constFind(key); hit != byKey.constEnd())
        return *hit;
    const QMimeType type = key.isEmpty() ? QMimeDatabase().mimeTypeForName(QStringLiteral("application/octet-stream"))
                                         : typeOf(winPath);
    return *byKey.insert(key, type.comment());
}

} // namespace platform
