#pragma once
// One read of one folder: its entries in name order without regard to case
// ("." and ".." left out), with what walkers need to go on without any
// further call per entry: the name in text and host form and whether the
// entry is a folder. A symbolic link is never a folder here.
//
// Walkers descend with readChild(), which never enters a link (also one
// swapped in after the parent was read) nor a folder on which another file
// system or a bind mount sits. A listing keeps its folder open, and every
// question about an entry is asked relative to it: no full path is looked
// up again, so no path length limit applies and nothing swapped into a
// parent folder redirects the answer.
//
// What is not the user's is not read at all: below a shared folder such as
// /tmp, another user's entries, and what the system's tmpfiles rules
// exclude (TmpfilesExclusions). withheld() tells that a folder had such
// entries, so a folder holding them is never taken for empty.

#include "platform/EntryId.h"
#include "platform/FileFinder.h"
#include "platform/posix/UniqueFd.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace platform {

struct StatAheadSlot;

class FolderListing {
public:
    // One entry; its names live in the listing (name(), hostName()), so a
    // listing of thousands of entries costs a few allocations, not thousands.
    struct Entry {
        quint32 nameOffset = 0;
        quint32 nameLength = 0;
        quint32 hostOffset = 0;
        quint32 hostLength = 0;
        bool isDirectory = false;
        quint64 sortKey = 0; // the first four case-folded code units, so most comparisons are one
        quint64 inode = 0;   // as the folder read names it: where the entry's metadata lies
    };

    FolderListing();
    ~FolderListing();
    FolderListing(FolderListing&&) noexcept;
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(FolderListing&&) noexcept;

    // Reads the folder winFolder (Windows form, with or without a trailing
    // backslash; empty means the current directory). The folder named may
    // be reached through links; hostFolder() is then where they lead.
    // Returns false, with no entries, when it does not exist or cannot be
    // read.
    bool read(const QString& winFolder);

    // Reads the sub-folder entry of parent (an entry of parent's listing).
    // Returns false when it cannot be read, is no longer a folder, or is the
    // root of another mount.
    bool readChild(const FolderListing& parent, const Entry& entry);

    const std::vector<Entry>& entries() const { return entries_; }

    // A second listing of the same read, with a handle of its own, so that
    // another thread can read sub-folders from it while this one lives on
    // or goes. Unopened (every question fails) when no handle can be had.
    FolderListing duplicate() const;

    // The kinds of name (what follows the last dot, ASCII letters without
    // regard to case) of the entries other than folders this thread has
    // looked at one at a time (statOf, sizeOf, detailsOf, attributesOf):
    // what a walk asks about beyond the names, so that readers going ahead
    // of it can fetch the same. forgetLooks() starts the record anew.
    struct LookedAt {
        static constexpr int kKinds = 16;
        std::array<quint64, kKinds> kinds{};
        int count = 0;
        bool many = false; // more kinds than kKinds: every name counts as looked at
        bool firstFile = false; // one file of each folder is looked at (FolderReadAhead::firstFileToLookAt)
        bool covers(QByteArrayView hostName) const;
    };
    static const LookedAt& lookedAt();
    static void forgetLooks();
    // Notes that the walk looks first at one file of the folders it judges
    // (any kind), and at no other by kind: the readers fetch that one entry
    // of each folder that lists no sub-folder but hidden ones.
    static void noteFirstFileLooks();

    // Gives the folder's handle back and keeps the entries, so a walk that
    // keeps many listings for later holds no handle for each. Every call
    // that asks the folder something fails (as for a vanished entry) until
    // reopenBelow() succeeds.
    void closeFolder();
    bool isOpen() const { return fd_.valid(); }

    // Opens the folder again after closeFolder(), from root's open handle
    // (a listing the folder was walked to from), down the folders between
    // them: never through a link, never onto another mount, and only when
    // the folder reached is the very one read (same inode). False, closed,
    // when any of that fails.
    bool reopenBelow(const FolderListing& root);

    // True when the last read left entries out as not the user's (above).
    bool withheld() const { return withheld_; }

    // True when the package manager installed the entry, or the folder
    // read (PackageFiles): such entries are never deleted.
    bool isPackaged(const Entry& e) const;
    bool folderIsPackaged() const;

    // The entry's name as the program sees it, and as the host stores it.
    // Valid while the listing lives and is not read again.
    QStringView name(const Entry& e) const { return QStringView(text_).mid(e.nameOffset, e.nameLength); }
    QByteArrayView hostName(const Entry& e) const
    {
        return QByteArrayView(host_.constData() + e.hostOffset, e.hostLength);
    }

    // Why the last read failed, as a Windows system error code (5 access
    // denied, 2 not found, 3 path not found, 4 too many open files; a host
    // error without a Windows counterpart keeps its number), 0 after a
    // successful read.
    int lastError() const;

    // True when the last readChild() was refused because the sub-folder
    // belongs to another mount.
    bool refusedOtherMount() const;

    // The entry's attributes (faDirectory, faHidden, faSysFile, faReadOnly,
    // faArchive, faMountPoint; the bits of user.DOSATTRIB where it has
    // them). One stat and one extended-attribute read.
    quint32 attributesOf(const Entry& e) const;

    // The entry's size in bytes (a link's own size); 0 when it vanished.
    quint64 sizeOf(const Entry& e) const;

    // What a deletion must find again: the entry's id, and its size (a
    // link's own size, 0 for what is neither a file nor a link). One stat.
    // An unknown id when the entry vanished.
    struct Found {
        EntryId id;
        quint64 size = 0;
        bool packaged = false; // set by walkers that ask isPackaged()
        // Another name may lead to the same entry: a file with more than
        // one hard link (or one whose link count is unknown).
        bool linked = false;
    };
    Found statOf(const Entry& e) const;

    // The entry's attributes as attributesOf() gives them, plus its id, from
    // the same single stat.
    quint32 attributesOf(const Entry& e, EntryId& id) const;

    // What a file search reports of an entry, from one stat and one
    // extended-attribute read: attributes as attributesOf() gives them, the
    // id and size as statOf() gives them, and the three times in UTC.
    // valid is false (and the rest empty) when the entry vanished.
    struct Details {
        bool valid = false;
        quint32 attributes = 0;
        EntryId id;
        quint64 size = 0;
        FileTimes times;
    };
    Details detailsOf(const Entry& e) const;

    // True for a socket, FIFO or device node (never a link or a folder).
    bool isSpecialFile(const Entry& e) const;

    // True for a sub-folder on which another file system or a bind mount
    // sits; readChild() refuses those.
    bool isMountPoint(const Entry& e) const;

    // True when the folder read is the root folder of a drive.
    bool isDriveRoot() const;

    // Host path of the folder read (links resolved) and of one of its entries.
    const QByteArray& hostFolder() const { return folder_; }
    QByteArray hostPathOf(const Entry& entry) const;

    // Identity of the folder's mount, to tell a sub-folder on another one.
    quint64 mountId() const { return mountId_; }
    quint64 deviceId() const { return deviceId_; }

    // The folder's own inode number, 0 when the host did not tell it.
    quint64 folderInode() const { return folderInode_; }

private:
    friend class FolderStatAhead;
    // statOf()'s one look, relative to the open folder; an unknown id when it fails.
    static Found foundAt(int folder, const char* hostName);
    bool readOpened(posix::UniqueFd folder, const QByteArray& hostFolder, quint64 mountId, quint64 deviceId);
    void append(int fd, const char* hostName, unsigned char type, quint64 inode);
    bool withholds(int fd, const char* hostName) const;
    void noteLook(const Entry& e) const;
    const char* hostNameZ(const Entry& e) const { return host_.constData() + e.hostOffset; }
    void clear();
    void releaseFolder();
    bool refused(const QByteArray& host);

    QByteArray folder_;
    std::vector<Entry> entries_;
    QString text_;    // every entry's name, one after the other
    QByteArray host_; // every entry's host name, one after the other
    quint64 mountId_ = 0;
    quint64 deviceId_ = 0;
    quint64 folderInode_ = 0;
    posix::UniqueFd fd_; // the folder, kept open: every entry is reached relative to it
    quint64 inode_ = 0;  // the folder's, while its handle is given back
    quint64 inodeDevice_ = 0;
    int error_ = 0;                   // the host's error number
    bool shared_ = false;             // the folder lies below a shared folder (or is one)
    bool checkOwners_ = false;        // ... and others could have put entries into it
    bool withheld_ = false;           // entries were left out as not the user's
    QList<QByteArray> excludedNames_; // tmpfiles name patterns for this folder
    StatAheadSlot* aheadSlots_ = nullptr; // one per entry while a FolderStatAhead looks ahead
};

} // namespace platform
