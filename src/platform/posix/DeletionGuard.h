#pragma once
// What every deletion must leave alone on a Linux system, where Windows
// would have refused by itself: what a running process holds (in use, error
// 32), what another user keeps in a shared folder, what the system's
// tmpfiles rules exclude and what the package manager installed (access
// denied, error 5). The shell delete asks it once for the entry and once
// for each entry inside a folder it deletes.

#include "posix/HeldEntries.h"

#include <QByteArray>

#include <optional>

struct statx;

namespace platform::posix {

struct AnchoredEntry;

class DeletionGuard {
public:
    // The rules for one deletion, with the look at what processes hold that
    // the open pass took (taken now when no pass has taken one).
    DeletionGuard();

    // Why the anchored entry, whose look is st, must not be deleted, as a
    // Windows error code; 0 when it may be.
    int refusal(const AnchoredEntry& entry, const struct statx& st);

    // Why refusal() refused, in words, for the diagnostics.
    const char* reason() const { return reason_; }

    // Whether the entry lies below a shared folder (known after refusal()).
    bool inSharedFolder() const { return shared_; }

    // Why an entry inside a folder being deleted must stay, given its look
    // and whether the folder holding it lies below a shared folder: 32 held,
    // 5 another user's; 0 when it may go.
    int keeps(const struct statx& st, bool inShared) const;

    // The pass bookkeeping behind platform::DeletionPass.
    static void openPass();
    static void closePass();
    static void setInUseCheck(bool on);

private:
    const HeldEntries* held_ = nullptr;
    std::optional<HeldEntries> own_;
    bool shared_ = false;
    const char* reason_ = "";
};

// errno values a tree operation gives for an entry it had to keep.
int hostErrorOfRefusal(int windowsError);

} // namespace platform::posix
