#include "platform/FolderCheck.h"

#include "platform/DriveTable.h"
#include "platform/EntryLookup.h"
#include "platform/PathMapper.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

bool FolderCheck::isPlainFolder(const QString& winPath)
{
    const QChar drive = WinPath::driveLetter(winPath);
    if (drive.isNull() || !DriveTable::isFixed(drive) || PathMapper::isDriveRoot(winPath))
        return false;
    const QStringList parts = winPath.mid(2).split(u'\\', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.contains(QStringLiteral("..")) || parts.contains(QStringLiteral(".")))
        return false;
    QString path = winPath.left(2);
    for (const QString& part : parts) {
        path += u'\\' + part;
        // A link to a folder is an entry of its own, not a folder.
        const std::optional<EntryData> entry = EntryLookup::read(path);
        if (!entry || !entry->isDirectory)
            return false;
    }
    return true;
}

QString FolderCheck::realHostFolder(const QByteArray& hostPath)
{
    if (hostPath.isEmpty())
        return {};
    const QString text = QFile::decodeName(hostPath);
    const QString canonical = QFileInfo(text).canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? text : canonical);
}

QString FolderCheck::realHomeFolder()
{
    return realHostFolder(QFile::encodeName(QDir::homePath()));
}

} // namespace platform
