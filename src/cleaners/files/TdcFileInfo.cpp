#include "cleaners/files/TdcFileInfo.h"

#include "platform/FileAttributes.h"
#include "platform/FileFinder.h"
#include "platform/FileIcons.h"
#include "platform/WinPath.h"

#include <QHash>

namespace {

QDateTime dosTime(const QDateTime& utc)
{
    if (!utc.isValid())
        return {};
    QDateTime local = utc.toLocalTime();
    if (local.date().year() < 1980 || local.date().year() > 2107)
        return {};
    const QTime t = local.time();
    local.setTime(QTime(t.hour(), t.minute(), t.second() - t.second() % 2));
    return local;
}

quint32 infoAttributes(quint32 attr)
{
    quint32 out = 0;
    if (attr & platform::faArchive) out |= fiaArchive;
    if (attr & platform::faHidden) out |= fiaHidden;
    if (attr & platform::faReadOnly) out |= fiaReadOnly;
    if (attr & platform::faSysFile) out |= fiaSystem;
    if (attr & platform::faDirectory) out |= fiaDirectory;
    return out;
}

// A stable number per file type, standing in for the system image list.
int imageIndexOf(const QString& type)
{
    static QHash<QString, int> indexes;
    return *indexes.insert(type, indexes.value(type, int(indexes.size())));
}

} // namespace

TdcFileInfo::TdcFileInfo(QObject* parent)
    : TumdcComponent(parent)
{
}

void TdcFileInfo::SetFILENAME(const QString& name)
{
    if (name == fileName_)
        return;
    fileName_ = name;
    Refresh();
}

void TdcFileInfo::clear()
{
    FileSize = 0;
    FileAttributes = 0;
    TimeCreated = TimeLastAccessed = TimeLastModified = QDateTime();
    DisplayName.clear();
    FileType.clear();
    SysImageIndex = 0;
    found_ = false;
}

bool TdcFileInfo::Refresh()
{
    clear();
    if (fileName_.isEmpty()) {
        LargeIcon = SmallIcon = QIcon();
        return false;
    }
    const QString wanted = platform::WinPath::extractFileName(fileName_);
    // The name matches entries without regard to case; on a host where
    // A.TXT and a.txt are two files, the one spelled as asked is the one
    // meant, and only without one is the first match taken.
    platform::FileFinder finder;
    bool exact = finder.findFirst(fileName_, platform::faAnyFile);
    while (exact && finder.name() != wanted)
        exact = finder.findNext();
    if (!exact && !finder.findFirst(fileName_, platform::faAnyFile)) {
        LargeIcon = SmallIcon = platform::FileIcons::icon(QString());
        return false;
    }
    FileSize = finder.size();
    FileAttributes = infoAttributes(finder.attributes());
    const platform::FileTimes times = finder.times();
    TimeCreated = dosTime(times.creation);
    TimeLastAccessed = dosTime(times.lastAccess);
    TimeLastModified = dosTime(times.lastWrite);
    LargeIcon = SmallIcon = finder.isDirectory() ? platform::FileIcons::folderIcon() : platform::FileIcons::icon(fileName_);
    DisplayName = finder.name();
    FileType = platform::FileIcons::typeName(fileName_);
    SysImageIndex = imageIndexOf(FileType);
    found_ = true;
    return true;
}
