#include "platform/FolderReadAhead.h"
#include "platform/TestSeams.h"

#include "platform/Diagnostics.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <map>
#include <mutex>
#include <queue>
#include <thread>
#include <utility>

#include <sys/resource.h>

namespace platform {

namespace {

using Position = std::vector<quint32>;

FolderReadAhead::Tuning& tuning()
{
    static FolderReadAhead::Tuning t;
    return t;
}

std::function<void(const QByteArray&)>& readHook()
{
    static std::function<void(const QByteArray&)> hook;
    return hook;
}

bool isPrefix(const Position& prefix, const Position& of)
{
    return prefix.size() <= of.size() && std::equal(prefix.begin(), prefix.end(), of.begin());
}

// A folder read from disk costs at least one wait for the device, a tenth
// of a millisecond or more; one in memory a few microseconds and a little
// per entry. Four such waits among the walk's last 64 reads tell a cold tree.
constexpr std::chrono::microseconds kSlowRead{100};
constexpr std::chrono::nanoseconds kPerEntry{1000};
constexpr int kSlowReadsToStart = 4;

// A reader quits after this many folders in a row found in memory: on a
// tree mostly cached its work only competes with the walk's.
constexpr int kWarmReadsToQuit = 32;

bool tookLong(std::chrono::steady_clock::duration took, size_t entries)
{
    return took > kSlowRead + kPerEntry * qint64(entries);
}

// Whether this thread has read from the disk since it last asked. A read
// that took long without that was only put off by other work on a busy
// machine: readers would not help it, only compete with it.
bool readFromDiskSinceLastAsked()
{
    thread_local long last = 0;
    struct rusage usage {};
    if (::getrusage(RUSAGE_THREAD, &usage) != 0)
        return true; // cannot tell: trust the clock alone
    const bool more = usage.ru_inblock > last;
    last = usage.ru_inblock;
    return more;
}

} // namespace

struct FolderReadAhead::State {
    // A folder the readers will read: the entry index of parent.
    struct Pending {
        std::shared_ptr<const FolderListing> parent;
        quint32 index = 0;
        Position position;
    };

    std::mutex mutex;
    std::condition_variable wake; // work, room ahead of the walk, or the end
    // Earliest in the walk's order first: several readers taking the latest
    // queued would each dive into a later sub-tree and leave the one the
    // walk goes into next to the walk.
    struct Later {
        bool operator()(const Pending& a, const Pending& b) const { return a.position > b.position; }
    };
    std::priority_queue<Pending, std::vector<Pending>, Later> pending;
    // Read by the readers, not yet reached by the walk: the walk takes a
    // copy of a listing when it enters the folder.
    std::map<Position, std::shared_ptr<const FolderListing>> ahead;
    std::vector<Position> declined;
    std::vector<Position> inHand; // being read by a reader now
    Position walkAt;
    int busy = 0; // readers reading a folder
    size_t lead = 0;
    std::atomic<bool> stop{false};
    std::atomic<int> live{0};          // readers still running
    std::atomic<bool> quitWarm{false}; // a reader quit finding folders in memory, with work left
    FolderListing::LookedAt looked;    // the kinds of entries the walk looks at one by one
    std::vector<std::thread> threads;
    // For the diagnostics at the end.
    quint64 reads = 0, dropped = 0, walkSlow = 0, walkReads = 0, taken = 0, waited = 0;

    // Behind the walk in its order and not on its way down, or declined by it.
    bool needless(const Position& p) const
    {
        if (p < walkAt && !isPrefix(p, walkAt))
            return true;
        return std::any_of(declined.begin(), declined.end(), [&](const Position& d) { return isPrefix(d, p); });
    }

    // Queues parent's sub-folders from index `from` on, those with a
    // leading dot only when withDotNames.
    void queueChildren(const std::shared_ptr<const FolderListing>& parent, const Position& at, size_t from,
                       bool withDotNames = true)
    {
        const std::vector<FolderListing::Entry>& entries = parent->entries();
        for (size_t i = from; i < entries.size(); ++i) {
            if (!entries[i].isDirectory || (!withDotNames && parent->hostName(entries[i]).startsWith('.')))
                continue;
            Position p = at;
            p.push_back(quint32(i));
            pending.push({parent, quint32(i), std::move(p)});
        }
    }

    // Queues what the walk at position has still to enter, level by level
    // from the root: the sub-folders after the one it is in, and all of the
    // folder just read (the last of path).
    void queueWhatIsLeft(std::span<const quint32> position, std::span<const FolderListing* const> path)
    {
        Position at;
        for (size_t level = 0; level < path.size(); ++level) {
            const size_t from = level < position.size() ? position[level] + 1 : 0;
            const auto& entries = path[level]->entries();
            const bool more = std::any_of(entries.begin() + qMin(from, entries.size()), entries.end(),
                                          [](const FolderListing::Entry& e) { return e.isDirectory; });
            if (more)
                queueChildren(std::make_shared<const FolderListing>(path[level]->duplicate()), at, from);
            if (level < position.size())
                at.push_back(position[level]);
        }
    }

    FolderListing::LookedAt lookedAtNow()
    {
        std::lock_guard lock(mutex);
        return looked;
    }

    bool mayGoOn() const { return stop || (pending.empty() && busy == 0) || (!pending.empty() && ahead.size() < lead); }

    void run();
    bool readOne(Pending& item);
    void handOver(const Position& position);
    void finish();
};

void FolderReadAhead::State::run()
{
    int warmInARow = 0; // folders read without a wait for the disk
    readFromDiskSinceLastAsked();
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return mayGoOn(); });
        if (stop || pending.empty())
            break;
        Pending item = pending.top();
        pending.pop();
        if (needless(item.position)) {
            ++dropped;
            continue;
        }
        ++busy;
        inHand.push_back(item.position);
        lock.unlock();
        const bool read = readOne(item);
        warmInARow = !read ? warmInARow : readFromDiskSinceLastAsked() ? 0 : warmInARow + 1;
        lock.lock();
        --busy;
        handOver(item.position); // when the read failed
        wake.notify_all();
        if (warmInARow >= kWarmReadsToQuit && !tuning().startAtOnce) {
            quitWarm = true;
            break;
        }
    }
    --live;
    wake.notify_all(); // the others may be waiting for this one's last folder
}

// Reads one folder as the walk will (the same rules, the same entries),
// and its entries' metadata when the walk asks for it; queues its sub-folders.
bool FolderReadAhead::State::readOne(Pending& item)
{
    auto child = std::make_shared<FolderListing>();
    const bool read = child->readChild(*item.parent, item.parent->entries()[item.index]);
    item.parent.reset();
    if (!read)
        return false;
    if (readHook())
        readHook()(child->hostFolder());
    const FolderListing::LookedAt kinds = lookedAtNow();
    // The walks that look at one file judge only folders that list no
    // sub-folder; one they would list has a name without a leading dot.
    const bool judged = kinds.firstFile
        && std::none_of(child->entries().begin(), child->entries().end(),
                        [&](const auto& e) { return e.isDirectory && !child->hostName(e).startsWith('.'); });
    const FolderListing::Entry* first = judged ? firstFileToLookAt(*child) : nullptr;
    if (first)
        child->statOf(*first);
    {
        std::lock_guard lock(mutex);
        ++reads;
        if (!needless(item.position))
            ahead.emplace(item.position, child);
        // Such a walk enters a hidden folder only to judge the one it sits in:
        // it declines those of a folder it will not judge, but only when it
        // gets there, long after the readers (dot names come first) would have
        // read their whole sub-trees. One it enters after all (a dot name its
        // attributes do not call hidden) it reads itself.
        queueChildren(child, item.position, 0, !kinds.firstFile || judged);
        handOver(item.position);
    }
    // The walk may take the listing from here on and look at its entries
    // from the first: these are fetched from the last back, so that the two
    // meet instead of the walk waiting behind the reader.
    const std::vector<FolderListing::Entry>& entries = child->entries();
    for (auto e = entries.rbegin(); e != entries.rend() && !stop; ++e)
        if (!e->isDirectory && &*e != first && kinds.covers(child->hostName(*e)))
            child->statOf(*e);
    return true;
}

// The folder at position is read (or cannot be): a walk waiting for it
// may go on. Called with the mutex held; a second call does nothing.
void FolderReadAhead::State::handOver(const Position& position)
{
    const auto held = std::find(inHand.begin(), inHand.end(), position);
    if (held == inHand.end())
        return;
    inHand.erase(held);
    wake.notify_all(); // also the walk, should it wait for this folder
}

const FolderListing::Entry* FolderReadAhead::firstFileToLookAt(const FolderListing& folder)
{
    const quint64 self = folder.folderInode();
    const auto distance = [self](const FolderListing::Entry& e) {
        return e.inode > self ? e.inode - self : self - e.inode;
    };
    const FolderListing::Entry* best = nullptr;
    for (const FolderListing::Entry& e : folder.entries()) {
        if (e.isDirectory || (best && (self == 0 || distance(e) >= distance(*best))))
            continue;
        best = &e;
    }
    return best;
}

FolderReadAhead::FolderReadAhead() = default;

// Stops the readers, waits for them and tells what they did.
void FolderReadAhead::State::finish()
{
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    wake.notify_all();
    for (std::thread& t : threads)
        t.join();
    qCDebug(lcWalk,
            "readers read %llu folders and dropped %llu the walk had passed; %llu of its %llu reads were slow, "
            "%llu were the readers' listings (%llu waited for)",
            reads, dropped, walkSlow, walkReads, taken, waited);
}

FolderReadAhead::~FolderReadAhead()
{
    if (state_)
        state_->finish();
}

bool FolderReadAhead::slowSoFar(std::chrono::steady_clock::duration took, size_t entries)
{
    const bool slow = tookLong(took, entries) && readFromDiskSinceLastAsked();
    slowReads_ = (slowReads_ << 1) | quint64(slow);
    return std::popcount(slowReads_) >= kSlowReadsToStart;
}

bool FolderReadAhead::read(std::span<const quint32> position, const FolderListing& folder)
{
    const auto took = std::chrono::steady_clock::now() - readStart_;
    if (state_ && state_->live == 0 && state_->quitWarm) {
        // The readers found the tree in memory and quit: the walk goes on
        // alone until its reads turn slow again.
        state_->finish();
        state_.reset();
        slowReads_ = 0;
    }
    if (!state_)
        return tuning().startAtOnce || slowSoFar(took, folder.entries().size());
    State& s = *state_;
    std::lock_guard lock(s.mutex);
    ++s.walkReads;
    s.walkSlow += tookLong(took, folder.entries().size());
    s.walkAt.assign(position.begin(), position.end());
    const auto passed = s.ahead.upper_bound(s.walkAt);
    const bool room = passed != s.ahead.begin();
    s.ahead.erase(s.ahead.begin(), passed);
    std::erase_if(s.declined, [&](const Position& d) { return d < s.walkAt; });
    const FolderListing::LookedAt& looked = FolderListing::lookedAt();
    if (looked.count != s.looked.count || looked.many != s.looked.many || looked.firstFile != s.looked.firstFile)
        s.looked = looked;
    if (room)
        s.wake.notify_all();
    return false;
}

bool FolderReadAhead::take(std::span<const quint32> position, quint32 index, const FolderListing& parent,
                           const FolderListing::Entry& entry, FolderListing& child)
{
    if (!state_)
        return false;
    Position p(position.begin(), position.end());
    p.push_back(index);
    std::shared_ptr<const FolderListing> read;
    {
        State& s = *state_;
        std::unique_lock lock(s.mutex);
        // A reader reading it now has waited for the disk longer than the
        // walk would: the walk waits for that reading rather than start one
        // more of the same folder.
        const auto inHand = [&] { return std::find(s.inHand.begin(), s.inHand.end(), p) != s.inHand.end(); };
        if (inHand()) {
            ++s.waited;
            s.wake.wait(lock, [&] { return !inHand(); });
        }
        const auto found = s.ahead.find(p);
        if (found == s.ahead.end())
            return false;
        read = found->second;
    }
    // The readers' parent may be a reading of its own, older or newer than
    // the walk's: the same position then need not be the same name.
    if (read->hostFolder() != parent.hostPathOf(entry))
        return false;
    FolderListing copy = read->duplicate();
    if (!copy.isOpen())
        return false;
    child = std::move(copy);
    std::lock_guard lock(state_->mutex);
    ++state_->taken;
    return true;
}

void FolderReadAhead::declined(std::span<const quint32> position, quint32 index)
{
    if (!state_)
        return;
    Position p(position.begin(), position.end());
    p.push_back(index);
    std::lock_guard lock(state_->mutex);
    state_->declined.push_back(std::move(p));
}

void FolderReadAhead::start(std::span<const quint32> position, std::span<const FolderListing* const> path)
{
    if (state_ || path.size() != position.size() + 1)
        return;
    auto s = std::make_unique<State>();
    s->lead = size_t(std::max(1, tuning().lead));
    s->walkAt.assign(position.begin(), position.end());
    FolderListing::forgetLooks();
    s->queueWhatIsLeft(position, path);
    const int readers = std::max(1, tuning().readers);
    s->threads.reserve(size_t(readers)); // so that only a thread's start can fail below
    try {
        for (int i = 0; i < readers; ++i) {
            ++s->live; // before the thread runs, which may end at once
            s->threads.emplace_back([state = s.get()] { state->run(); });
        }
    } catch (const std::system_error&) {
        --s->live; // fewer readers, or none: the walk goes on as it would have anyway
    }
    if (s->threads.empty())
        return;
    qCDebug(lcWalk, "folders are slow to read: %d readers go ahead of the walk", int(s->threads.size()));
    state_ = std::move(s);
}

void testseams::setReadAheadTuning(const FolderReadAhead::Tuning& t)
{
    tuning() = t;
}

void testseams::setReadAheadHook(std::function<void(const QByteArray&)> hook)
{
    readHook() = std::move(hook);
}

} // namespace platform
