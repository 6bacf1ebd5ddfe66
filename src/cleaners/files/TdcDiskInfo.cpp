#include "cleaners/files/TdcDiskInfo.h"

#include "platform/DriveTable.h"

using platform::DriveTable;

TdcDiskInfo::TdcDiskInfo(QObject* parent)
    : TumdcComponent(parent)
{
    Refresh();
}

void TdcDiskInfo::SetDisk(const QString& letter)
{
    if (letter.size() != 1 || letter[0] < u'A' || letter[0] > u'Z')
        return;
    disk_ = letter[0];
    Refresh();
}

bool TdcDiskInfo::Refresh()
{
    const std::optional<platform::FixedDrive> drive = DriveTable::drive(disk_);
    const bool fixed = DriveTable::isFixed(disk_);
    DriveType = fixed ? TdcDriveType::Fixed : drive ? TdcDriveType::Unknown : TdcDriveType::NoRootDir;
    const platform::DriveSpace space = DriveTable::space(disk_);
    DiskSize = space.totalBytes;
    DiskFree = space.freeBytesForUser;
    const platform::DriveDetails details = DriveTable::details(disk_);
    VolumeLabel = fixed ? drive->label : QString();
    FileSystem = details.fileSystem;
    SerialNumber = details.serialNumber;
    BytesPerCluster = details.bytesPerCluster;
    TotalClusters = details.totalClusters;
    FreeClusters = details.freeClusters;
    return drive.has_value();
}
