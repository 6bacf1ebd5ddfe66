#pragma once
// Whether any other process has a file open, asked of the kernel at the very
// moment of a deletion. A snapshot of /proc is already old when the delete
// runs; a write lease is granted only while no other descriptor of the file
// is open anywhere, and while it is held an open by anyone else waits for
// its release. Held across the unlink, it makes the in-use check exact.

#include "posix/UniqueFd.h"

#include <QByteArray>

struct statx;

namespace platform::posix {

class WriteLease {
public:
    enum class State {
        Held,        // no other process has the file open; held until destruction
        InUse,       // another descriptor of the file is open
        Unavailable, // no lease can be had here (not a regular file, another
                     // owner without CAP_LEASE, a file system without leases,
                     // a name that now leads to a link)
        Gone,        // nothing has the name any more
    };

    // Tries for a lease on the regular file name inside the folder parent,
    // which st describes (a look just taken: the unlink that follows goes
    // by the name as well). Never follows a link and never changes the
    // file's access time.
    WriteLease(int parent, const QByteArray& name, const struct statx& st);
    ~WriteLease(); // gives the lease back

    WriteLease(const WriteLease&) = delete;
    WriteLease& operator=(const WriteLease&) = delete;

    State state() const { return state_; }

private:
    UniqueFd fd_;
    State state_ = State::Unavailable;
};

// Unlinks the entry name inside parent (which st describes). A regular file
// goes only while no other process has it open: false with errno EBUSY when
// one does. Where no lease can be had, the unlink goes ahead and the
// snapshot the guard took is the only check.
bool unlinkUnlessOpen(int parent, const QByteArray& name, const struct statx& st);

// Asks once, without holding anything, whether another process has the
// regular file name inside parent open: true only when it certainly does.
bool openElsewhere(int parent, const QByteArray& name, const struct statx& st);

} // namespace platform::posix
