#include "platform/FileTypes.h"

#include "formats/WinPath.h"

#include <QHash>
#include <QMimeDatabase>

namespace platform {

QMimeType FileTypes::of(const QString& winPath)
{
    static const QMimeDatabase db;
    if (cacheKey(winPath).isEmpty())
        return db.mimeTypeForName(QStringLiteral("application/octet-stream"));
    return db.mimeTypeForFile(formats::WinPath::extractFileName(winPath), QMimeDatabase::MatchExtension);
}

QString FileTypes::typeName(const QString& winPath)
{
    static QHash<QString, QString> byKey;
    const QString key = cacheKey(winPath);
    if (const auto hit = byKey.constFind(key); hit != byKey.constEnd())
        return *hit;
    return *byKey.insert(key, of(winPath).comment());
}

QString FileTypes::cacheKey(const QString& winPath)
{
    return extensionOf(winPath).toString().toLower();
}

QStringView FileTypes::extensionOf(QStringView winPath)
{
    // From the name's last dot, but not its first character.
    const QStringView name = formats::WinPath::fileNameOf(winPath);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot) : QStringView();
}

} // namespace platform
