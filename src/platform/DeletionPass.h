#pragma once
// One pass of deletions: a command that deletes many listed entries in a row
// (the main window's "Удалить", a tool window's delete, a cleaner emptying a
// folder) opens one for the whole row. What running processes hold is then
// looked up at the pass's first deletion and again whenever that look is a
// second old, instead of once per entry: on a machine with a thousand
// processes it costs some tens of milliseconds. A regular file opened since
// is still caught: its unlink holds a write lease, which the kernel grants
// only while nobody else has the file open. A deletion outside any pass
// looks for itself.
//
// Passes nest: an inner pass (a handler that runs nested inside a pumping
// deletion) shares the outer one's look. A pass belongs to the thread that
// opened it.

namespace platform {

class DeletionPass {
public:
    DeletionPass();
    ~DeletionPass();
    DeletionPass(const DeletionPass&) = delete;
    DeletionPass& operator=(const DeletionPass&) = delete;
};

} // namespace platform
