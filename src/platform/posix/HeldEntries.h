#pragma once
// What running processes hold: the (device, inode) pairs of the files and
// folders that some process has open, works in, has as its root or has
// mapped into memory. On Windows such an entry cannot be deleted (the
// shell's delete fails with a sharing violation); a Linux kernel lets it go,
// so the platform asks before each deletion.

#include <QtGlobal>

#include <utility>
#include <vector>

namespace platform::posix {

class HeldEntries {
public:
    // Reads /proc once: for every process the user may inspect, its open
    // descriptors, working folder, root folder and mapped files. This
    // process's own descriptors are left out (they are the deletion's own
    // handles and the walks' folders), its working folder and mappings are
    // not. Processes that cannot be inspected, or that end meanwhile, are
    // skipped; never fails.
    static HeldEntries snapshot();

    // True when some process held the entry when the snapshot was taken.
    bool holds(quint64 device, quint64 inode) const;

    // How many distinct entries and processes the snapshot saw.
    size_t size() const { return held_.size(); }
    int processes() const { return processes_; }

private:
    std::vector<std::pair<quint64, quint64>> held_; // sorted, unique
    int processes_ = 0;
};

} // namespace platform::posix
