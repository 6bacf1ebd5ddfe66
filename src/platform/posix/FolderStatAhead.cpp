#include "platform/FolderStatAhead.h"

#include "platform/Diagnostics.h"
#include "platform/TestSeams.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

#include <sched.h>

namespace platform {

namespace {

// A folder of fewer entries to look at costs more to hand over than the
// helper would save.
constexpr size_t kFewest = 6;

// How long the helper keeps asking for the next folder before it sleeps:
// a walk over a tree in memory offers one every few dozen microseconds.
constexpr std::chrono::microseconds kWatch{50};

// Answers the walks took from the thread (testseams::statAheadAnswers).
std::atomic<quint64> answers{0};

// With one processor to run on, a second thread only takes turns with the walk.
bool secondProcessor()
{
    static const bool has = [] {
        cpu_set_t set;
        CPU_ZERO(&set);
        return ::sched_getaffinity(0, sizeof set, &set) != 0 || CPU_COUNT(&set) > 1;
    }();
    return has;
}

// Eases a busy wait on the core (and on its sibling thread, where it has one).
inline void relax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

} // namespace

const FolderListing::Found* StatAheadSlot::take()
{
    quint8 now = state.load(std::memory_order_acquire);
    for (;;) {
        if (now == Done) {
            state.store(Walks, std::memory_order_relaxed);
            if (!valid)
                return nullptr;
            answers.fetch_add(1, std::memory_order_relaxed);
            return &found;
        }
        if (now == Walks)
            return nullptr;
        // Free or Busy: the walk looks itself and the helper's answer, if
        // it comes, is dropped.
        if (state.compare_exchange_weak(now, Walks, std::memory_order_acq_rel))
            return nullptr;
    }
}

// What the helper needs of a folder, copied out of its listing: the walk's
// stack moves listings while the helper may still be at work.
struct Job {
    int folder = -1;
    const FolderListing::Entry* entries = nullptr;
    size_t count = 0;
    const char* hostNames = nullptr;
    FolderListing::LookedAt looks;
    StatAheadSlot* slots = nullptr;
    std::atomic<bool> stop{false};
};

struct FolderStatAhead::Thread {
    // 0: nothing; a Job*: offered; a Job* with its low bit set: the helper is in it.
    std::atomic<quintptr> post{0};
    std::atomic<quint32> offers{0};
    std::atomic<bool> quit{false};
    Job job;
    std::thread thread;

    Thread()
        : thread([this] { run(); })
    {}

    void run()
    {
        quint32 seen = 0;
        while (!quit.load(std::memory_order_acquire)) {
            if (!awaitOffer(seen))
                continue;
            quintptr offered = post.load(std::memory_order_acquire);
            if (offered == 0 || (offered & 1) != 0
                || !post.compare_exchange_strong(offered, offered | 1, std::memory_order_acq_rel))
                continue;
            lookBackwards(*reinterpret_cast<Job*>(offered));
            post.store(0, std::memory_order_release);
        }
    }

    // Watches a while for an offer, then sleeps until one comes. True when
    // one came (or may have).
    bool awaitOffer(quint32& seen)
    {
        const auto until = std::chrono::steady_clock::now() + kWatch;
        for (int i = 0;; ++i) {
            const quint32 now = offers.load(std::memory_order_acquire);
            if (now != seen) {
                seen = now;
                return true;
            }
            if (quit.load(std::memory_order_relaxed))
                return false;
            relax();
            if ((i & 63) == 63 && std::chrono::steady_clock::now() > until) {
                offers.wait(seen, std::memory_order_acquire);
                return false;
            }
        }
    }

    static void lookBackwards(Job& job)
    {
        for (size_t i = job.count; i-- > 0;) {
            if (job.stop.load(std::memory_order_relaxed))
                return;
            const FolderListing::Entry& e = job.entries[i];
            if (e.isDirectory || !job.looks.covers(QByteArrayView(job.hostNames + e.hostOffset, e.hostLength)))
                continue;
            StatAheadSlot& slot = job.slots[i];
            quint8 free = StatAheadSlot::Free;
            if (!slot.state.compare_exchange_strong(free, StatAheadSlot::Busy, std::memory_order_acq_rel))
                return; // the walk has come this far
            slot.found = FolderListing::foundAt(job.folder, job.hostNames + e.hostOffset);
            slot.valid = slot.found.id.isKnown();
            quint8 busy = StatAheadSlot::Busy;
            slot.state.compare_exchange_strong(busy, StatAheadSlot::Done, std::memory_order_acq_rel);
        }
    }
};

FolderStatAhead::FolderStatAhead() = default;

FolderStatAhead::~FolderStatAhead()
{
    if (!thread_)
        return;
    settle();
    thread_->quit.store(true, std::memory_order_release);
    thread_->offers.fetch_add(1, std::memory_order_acq_rel);
    thread_->offers.notify_one();
    thread_->thread.join();
}

void FolderStatAhead::offer(FolderListing& listing)
{
    const FolderListing::LookedAt& looks = FolderListing::lookedAt();
    const std::vector<FolderListing::Entry>& entries = listing.entries();
    if (failed_ || !secondProcessor() || !listing.isOpen() || (looks.count == 0 && !looks.many) || entries.size() < kFewest)
        return;
    const auto files = size_t(std::count_if(entries.begin(), entries.end(),
                                            [](const FolderListing::Entry& e) { return !e.isDirectory; }));
    if (files < kFewest)
        return;
    if (!thread_) {
        try {
            thread_ = std::make_unique<Thread>();
        } catch (const std::system_error&) {
            failed_ = true;
            qCInfo(lcWalk, "no thread to look ahead of the walk");
            return;
        }
    }
    settle();
    if (capacity_ < entries.size()) {
        capacity_ = std::max(entries.size(), 2 * capacity_);
        slots_ = std::make_unique<StatAheadSlot[]>(capacity_);
    }
    for (size_t i = 0; i < entries.size(); ++i)
        slots_[i].state.store(StatAheadSlot::Free, std::memory_order_relaxed);
    Job& job = thread_->job;
    job.folder = listing.fd_.get();
    job.entries = entries.data();
    job.count = entries.size();
    job.hostNames = listing.host_.constData();
    job.looks = looks;
    job.slots = slots_.get();
    job.stop.store(false, std::memory_order_relaxed);
    listing.aheadSlots_ = slots_.get();
    thread_->post.store(reinterpret_cast<quintptr>(&job), std::memory_order_release);
    thread_->offers.fetch_add(1, std::memory_order_acq_rel);
    thread_->offers.notify_one();
}

void FolderStatAhead::giveBack(FolderListing& listing)
{
    listing.aheadSlots_ = nullptr;
    if (thread_)
        thread_->job.stop.store(true, std::memory_order_relaxed);
}

void FolderStatAhead::settle()
{
    if (!thread_)
        return;
    Thread& t = *thread_;
    t.job.stop.store(true, std::memory_order_relaxed);
    quintptr offered = t.post.load(std::memory_order_acquire);
    // Never taken: take it back. Taken: the helper is at most one look from
    // seeing the stop.
    if (offered != 0 && (offered & 1) == 0 && t.post.compare_exchange_strong(offered, 0, std::memory_order_acq_rel))
        return;
    while (t.post.load(std::memory_order_acquire) != 0)
        std::this_thread::yield();
}

quint64 testseams::statAheadAnswers()
{
    return answers.load(std::memory_order_relaxed);
}

} // namespace platform
