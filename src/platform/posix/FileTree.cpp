#include "posix/FileTree.h"

#include "posix/DeletionGuard.h"
#include "posix/Handles.h"
#include "posix/HostErrors.h"
#include "posix/SharedFolders.h"
#include "posix/WriteLease.h"

#include <QList>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::posix {

namespace {

bool isSpecial(mode_t mode)
{
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode) || S_ISFIFO(mode);
}

// The names in the folder fd, without "." and "..". False when it cannot be read.
bool namesIn(int fd, QList<QByteArray>& names)
{
    UniqueFd dupFd(::dup(fd));
    DIR* dir = dupFd.valid() ? ::fdopendir(dupFd.get()) : nullptr;
    if (!dir)
        return false;
    dupFd.release(); // the stream closes it
    ::rewinddir(dir);
    errno = 0;
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (!(n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))))
            names.append(QByteArray(n));
    }
    const bool ok = errno == 0;
    ::closedir(dir);
    return ok;
}

// One open folder of an iterative walk, with the names still to visit.
struct Frame {
    UniqueFd fd;
    QByteArray name; // inside the frame below (or the walk's parent)
    QList<QByteArray> names;
    qsizetype next = 0;
    struct statx self {};
    bool shared = false; // below a shared folder: another user's entries stay
};

bool sameMount(const struct statx& a, const struct statx& b)
{
    if ((a.stx_mask & STATX_MNT_ID) && (b.stx_mask & STATX_MNT_ID))
        return a.stx_mnt_id == b.stx_mnt_id;
    return a.stx_dev_major == b.stx_dev_major && a.stx_dev_minor == b.stx_dev_minor;
}

bool statxAt(int parent, const QByteArray& name, struct statx& st)
{
    return ::statx(parent, name.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                   STATX_TYPE | STATX_MODE | STATX_MNT_ID | STATX_INO | STATX_SIZE | STATX_UID, &st)
        == 0;
}

// Opens the folder name inside parent as a new frame; false when it cannot.
bool pushFolder(std::vector<Frame>& stack, int parent, const QByteArray& name, const struct statx& st,
                bool shared = false)
{
    Frame f;
    f.shared = shared || isSharedFolder(st.stx_mode);
    f.fd = openFolderAt(parent, name);
    if (!f.fd.valid() || !namesIn(f.fd.get(), f.names))
        return false;
    f.name = name;
    f.self = st;
    stack.push_back(std::move(f));
    return true;
}

// Whether the guard says the entry must stay; its reason goes to *reason.
bool mustStay(const DeletionGuard* guard, const struct statx& st, bool shared, int* reason)
{
    const int why = guard ? guard->keeps(st, shared) : 0;
    if (why && reason)
        *reason = why;
    return why != 0;
}

} // namespace

TreeCheck checkTree(int parent, const QByteArray& name, bool onlyEmpty, const DeletionGuard* guard, KeptEntries kept,
                    int* keptReason)
{
    struct statx st {};
    if (!statxAt(parent, name, st))
        return TreeCheck::Deletable; // gone: the delete itself reports it
    if (isSpecial(st.stx_mode))
        return TreeCheck::HasSpecialEntry;
    if (!S_ISDIR(st.stx_mode))
        return TreeCheck::Deletable;
    std::vector<Frame> stack;
    if (!pushFolder(stack, parent, name, st, guard && guard->inSharedFolder()))
        return TreeCheck::Unreadable;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.names.size()) {
            stack.pop_back();
            continue;
        }
        const QByteArray child = f.names[f.next++];
        struct statx cst {};
        if (!statxAt(f.fd.get(), child, cst))
            continue; // gone meanwhile
        if (mustStay(guard, cst, f.shared, keptReason)) {
            if (kept == KeptEntries::Refuse)
                return TreeCheck::HasKeptEntry;
            continue;
        }
        if (isSpecial(cst.stx_mode))
            return TreeCheck::HasSpecialEntry;
        if (!S_ISDIR(cst.stx_mode)) {
            if (onlyEmpty && !(S_ISREG(cst.stx_mode) && cst.stx_size == 0))
                return TreeCheck::HasContent;
            continue;
        }
        if (!sameMount(cst, f.self))
            return TreeCheck::HasMountPoint;
        const int fd = f.fd.get();
        if (!pushFolder(stack, fd, child, cst, f.shared))
            return TreeCheck::Unreadable;
    }
    return TreeCheck::Deletable;
}

bool isMountRoot(int parent, const QByteArray& name)
{
    struct statx self {
    }, up{};
    if (!statxAt(parent, name, self))
        return false;
    if (self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return self.stx_attributes & STATX_ATTR_MOUNT_ROOT;
    if (::statx(parent, "", AT_EMPTY_PATH, STATX_MNT_ID, &up) != 0)
        return true; // cannot tell: treat it as one, so nothing deletes it
    return S_ISDIR(self.stx_mode) && !sameMount(self, up);
}

bool removeTree(int parent, const QByteArray& name, const DeletionGuard* guard)
{
    struct statx st {};
    if (!statxAt(parent, name, st))
        return false;
    if (!S_ISDIR(st.stx_mode))
        return unlinkUnlessOpen(parent, name, st);
    std::vector<Frame> stack;
    if (!pushFolder(stack, parent, name, st, guard && guard->inSharedFolder()))
        return false;
    // The first failure is the reason reported: what fails after it (the
    // folders above that stay non-empty) follows from it.
    int firstError = 0;
    const auto note = [&firstError](bool done) {
        if (!done && !firstError)
            firstError = errno ? errno : EIO;
        return done;
    };
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.names.size()) {
            const QByteArray done = f.name;
            stack.pop_back();
            const int holder = stack.empty() ? parent : stack.back().fd.get();
            note(retryInterrupted([&] { return ::unlinkat(holder, done.constData(), AT_REMOVEDIR); }) == 0);
            continue;
        }
        const QByteArray child = f.names[f.next++];
        struct statx cst {};
        if (!statxAt(f.fd.get(), child, cst))
            continue; // gone meanwhile
        int why = 0;
        if (mustStay(guard, cst, f.shared, &why)) {
            firstError = firstError ? firstError : hostErrorOfRefusal(why);
            continue; // it stays, and so do the folders holding it
        }
        if (!S_ISDIR(cst.stx_mode)) {
            note(unlinkUnlessOpen(f.fd.get(), child, cst));
            continue;
        }
        if (!sameMount(cst, f.self)) {
            firstError = firstError ? firstError : EBUSY; // another file system stays
            continue;
        }
        const int fd = f.fd.get();
        note(pushFolder(stack, fd, child, cst, f.shared)); // unreadable: it stays
    }
    errno = firstError;
    return firstError == 0;
}

namespace {

bool copyFileAt(int srcFd, const QByteArray& srcName, int dstFd, const QByteArray& dstName, const struct stat& st)
{
    const UniqueFd in(::openat(srcFd, srcName.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!in.valid())
        return false;
    struct stat now;
    if (::fstat(in.get(), &now) != 0 || !S_ISREG(now.st_mode) || now.st_ino != st.st_ino)
        return false; // replaced since it was looked at
    UniqueFd out(::openat(dstFd, dstName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
    if (!out.valid())
        return false;
    std::vector<char> buf(64 * 1024);
    for (;;) {
        const ssize_t n = ::read(in.get(), buf.data(), buf.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out.get(), buf.data() + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out.get(), times);
    return out.reset(); // a failed close may mean the copy never reached the disk
}

bool copyLinkAt(int srcFd, const QByteArray& srcName, int dstFd, const QByteArray& dstName, const struct stat& st)
{
    QByteArray target(qsizetype(st.st_size) + 1, '\0');
    const ssize_t n = ::readlinkat(srcFd, srcName.constData(), target.data(), size_t(target.size()));
    if (n < 0 || n >= target.size())
        return false; // changed since it was looked at
    target.truncate(n);
    return ::symlinkat(target.constData(), dstFd, dstName.constData()) == 0;
}

// One folder pair of an iterative copy.
struct CopyFrame {
    UniqueFd from;
    UniqueFd to;
    QList<QByteArray> names;
    qsizetype next = 0;
    mode_t mode = 0700;
};

// Copies one non-folder entry, or opens a folder pair and pushes it.
bool copyEntry(std::vector<CopyFrame>& stack, int srcFd, const QByteArray& srcName, int dstFd,
               const QByteArray& dstName)
{
    struct stat st;
    if (::fstatat(srcFd, srcName.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISLNK(st.st_mode))
        return copyLinkAt(srcFd, srcName, dstFd, dstName, st);
    if (S_ISREG(st.st_mode))
        return copyFileAt(srcFd, srcName, dstFd, dstName, st);
    if (!S_ISDIR(st.st_mode) || ::mkdirat(dstFd, dstName.constData(), 0700) != 0)
        return false;
    CopyFrame f;
    f.from = openFolderAt(srcFd, srcName);
    f.to = openFolderAt(dstFd, dstName);
    f.mode = st.st_mode & 07777;
    if (!f.from.valid() || !f.to.valid() || !namesIn(f.from.get(), f.names))
        return false;
    stack.push_back(std::move(f));
    return true;
}

} // namespace

bool copyTree(int srcParent, const QByteArray& srcName, int dstParent, const QByteArray& dstName)
{
    std::vector<CopyFrame> stack;
    bool ok = copyEntry(stack, srcParent, srcName, dstParent, dstName);
    while (ok && !stack.empty()) {
        CopyFrame& f = stack.back();
        if (f.next == f.names.size()) {
            ::fchmod(f.to.get(), f.mode);
            stack.pop_back();
            continue;
        }
        const QByteArray child = f.names[f.next++];
        const int from = f.from.get(), to = f.to.get();
        ok = copyEntry(stack, from, child, to, child);
    }
    if (!ok) {
        stack.clear();
        removeTree(dstParent, dstName);
    }
    return ok;
}

} // namespace platform::posix
