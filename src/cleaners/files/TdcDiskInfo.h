#pragma once
// What is known of one drive: capacity and free space, type, label, file
// system, serial number, cluster figures. Setting Disk reads the
// drive at once.

#include "cleaners/files/TumdcComponent.h"

enum class TdcDriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CDROM, RamDisk };

class TdcDiskInfo : public TumdcComponent {
    Q_OBJECT
public:
    explicit TdcDiskInfo(QObject* parent = nullptr);

    // The drive described, a capital letter; initially "C".
    QChar Disk() const { return disk_; }
    // Takes a single capital letter "A" to "Z" and reads that drive; any
    // other value is ignored.
    void SetDisk(const QString& letter);

    bool Refresh() override;

    quint64 DiskSize = 0; // total bytes of the volume
    quint64 DiskFree = 0; // bytes free for the current user
    TdcDriveType DriveType = TdcDriveType::NoRootDir;
    QString VolumeLabel;
    QString FileSystem;
    quint32 SerialNumber = 0;
    quint32 BytesPerCluster = 0;
    quint64 TotalClusters = 0;
    quint64 FreeClusters = 0;

private:
    QChar disk_ = u'C';
};
