#include "posix/WriteLease.h"

#include "posix/HostErrors.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

// While a lease is held, another process's open sends the holder SIGIO,
// whose default action ends the process. The lease lives only across one
// unlink, so the signal has nothing to tell: it is ignored, unless the
// program already handles it.
void ignoreLeaseBreaks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction old {};
        if (::sigaction(SIGIO, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            ::sigemptyset(&ignore.sa_mask);
            ::sigaction(SIGIO, &ignore, nullptr);
        }
    });
}

int openForLease(int parent, const QByteArray& name)
{
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = ::openat(parent, name.constData(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) // O_NOATIME is the owner's (or root's) alone
        fd = ::openat(parent, name.constData(), flags);
    return fd;
}

} // namespace

WriteLease::WriteLease(int parent, const QByteArray& name, const struct statx& st)
{
    if (!S_ISREG(st.stx_mode))
        return;
    ignoreLeaseBreaks();
    fd_ = UniqueFd(openForLease(parent, name));
    if (!fd_.valid()) {
        // A lease held by someone else makes a non-blocking open fail at once.
        state_ = errno == EWOULDBLOCK ? State::InUse : errno == ENOENT ? State::Gone : State::Unavailable;
        return;
    }
    if (::fcntl(fd_.get(), F_SETLEASE, F_WRLCK) == 0) {
        state_ = State::Held;
        return;
    }
    state_ = errno == EAGAIN || errno == EBUSY ? State::InUse : State::Unavailable;
}

// Closing the descriptor gives the lease back: no call of its own.
WriteLease::~WriteLease() = default;

bool unlinkUnlessOpen(int parent, const QByteArray& name, const struct statx& st)
{
    const WriteLease lease(parent, name, st);
    if (lease.state() == WriteLease::State::InUse) {
        errno = EBUSY;
        return false;
    }
    if (lease.state() == WriteLease::State::Gone) {
        errno = ENOENT;
        return false;
    }
    return retryInterrupted([&] { return ::unlinkat(parent, name.constData(), 0); }) == 0;
}

bool openElsewhere(int parent, const QByteArray& name, const struct statx& st)
{
    return WriteLease(parent, name, st).state() == WriteLease::State::InUse;
}

} // namespace platform::posix
