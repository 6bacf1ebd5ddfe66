#pragma once
// One read of one folder: its entries in name order without regard to case
// ("." and ".." left out), with what walkers need to go on without any
// further call per entry: the name in text and host form and whether the
// entry is a folder. A symbolic link is never a folder here.
//
// Walkers descend with readChild(), which never enters a link (also one
// swapped in after the parent was read) nor a folder on which another file
// system or a bind mount sits.

#include <QByteArray>
#include <QString>
#include <vector>

namespace platform {

class FolderListing {
public:
    struct Entry {
        QString name;        // as the program sees it
        QByteArray hostName; // as the host stores it
        bool isDirectory = false;
    };

    FolderListing();
    ~FolderListing();
    FolderListing(FolderListing&&) noexcept;
    FolderListing& operator=(FolderListing&&) noexcept;

    // Reads the folder winFolder (Windows form, with or without a trailing
    // backslash; empty means the current directory). Returns false, with no
    // entries, when it does not exist or cannot be read.
    bool read(const QString& winFolder);

    // Reads the sub-folder entry of parent (an entry of parent's listing).
    // Returns false when it cannot be read, is no longer a folder, or is the
    // root of another mount.
    bool readChild(const FolderListing& parent, const Entry& entry);

    const std::vector<Entry>& entries() const { return entries_; }

    // True when the folder read is the root folder of a drive.
    bool isDriveRoot() const;

    // Host path of the folder read and of one of its entries.
    const QByteArray& hostFolder() const { return folder_; }
    QByteArray hostPathOf(const Entry& entry) const;

    // Identity of the folder's mount, to tell a sub-folder on another one.
    quint64 mountId() const { return mountId_; }
    quint64 deviceId() const { return deviceId_; }

private:
    bool readOpened(int fd, const QByteArray& hostFolder);

    QByteArray folder_;
    std::vector<Entry> entries_;
    quint64 mountId_ = 0;
    quint64 deviceId_ = 0;
};

} // namespace platform
