#include "cleaners/files/TdcFileInfo.h"

#include "platform/FileAttributes.h"
#include "platform/EntryLookup.h"
#include "platform/FileTypes.h"
#include "platform/LocalTime.h"

#include <QHash>

namespace {

QDateTime dosTime(const QDateTime& utc)
{
    QDateTime local = platform::LocalTime::fromUtc(utc);
    if (!local.isValid())
        return {};
    if (local.date().year() < 1980 || local.date().year() > 2107)
        return {};
    const QTime t = local.time();
    local.setTime(QTime(t.hour(), t.minute(), t.second() - t.second() % 2));
    return local;
}

quint32 infoAttributes(quint32 attr)
{
    quint32 out = 0;
    if (attr & platform::faArchive)
        out |= fiaArchive;
    if (attr & platform::faHidden)
        out |= fiaHidden;
    if (attr & platform::faReadOnly)
        out |= fiaReadOnly;
    if (attr & platform::faSysFile)
        out |= fiaSystem;
    if (attr & platform::faDirectory)
        out |= fiaDirectory;
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
{}

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
    if (fileName_.isEmpty())
        return false;
    const std::optional<platform::EntryData> entry = platform::EntryLookup::read(fileName_);
    if (!entry)
        return false;
    FileSize = entry->size;
    FileAttributes = infoAttributes(entry->attributes);
    TimeCreated = dosTime(entry->times.creation);
    TimeLastAccessed = dosTime(entry->times.lastAccess);
    TimeLastModified = dosTime(entry->times.lastWrite);
    DisplayName = entry->name;
    FileType = platform::FileTypes::typeName(fileName_);
    SysImageIndex = imageIndexOf(FileType);
    found_ = true;
    return true;
}
