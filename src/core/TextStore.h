#pragma once
// Texts of long lists (the found files, the log's lines, a walk's deferred
// matches) kept in large blocks of UTF-16 that never move, instead of one
// allocation each: a hundred thousand paths cost their characters, not a
// header and the allocator's overhead apiece, and when the list goes it
// leaves whole blocks free, not small holes. A block is freed once the last
// text in it is released. The found-file list and the log share one store:
// the same text added twice in a row is kept once.
//
// Not thread-safe: each store is used by one thread.

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace core {

class TextStore {
public:
    // Where one added text lies, in 8 bytes. Valid until it is released;
    // releasing it twice, or a reference from another store, is a
    // programming error.
    struct Ref {
        quint32 block = 0;
        quint16 offset = 0;
        quint16 length = 0; // LongText: the text fills its block alone
    };

    TextStore() = default;
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // Keeps a copy of text (of at most 2^32 - 2 characters; the rest is
    // cut). The text added just before, added again, is shared, not copied.
    Ref add(QStringView text);
    // Gives up one use of a text; its block goes with the last.
    void release(const Ref& ref);

    // The text. The view is valid until the text is released; a QString
    // made from it with QString::fromRawData likewise.
    QStringView view(const Ref& ref) const;
    QString text(const Ref& ref) const { return view(ref).toString(); }

    // Blocks holding at least one text; for tests and measurement.
    int blockCount() const;

private:
    static constexpr quint16 LongText = 0xFFFF;

    struct Block {
        std::unique_ptr<char16_t[]> chars; // null while the slot is free
        quint32 capacity = 0;
        quint32 used = 0;
        quint32 uses = 0; // texts in it not yet released, shared ones counted each time
    };

    // A fresh block for at least length characters; its slot.
    quint32 newBlock(quint32 length);
    void freeBlock(quint32 slot);

    std::vector<Block> blocks_;
    std::vector<quint32> freeSlots_;
    quint32 current_ = 0; // the block short texts are added to
    bool hasCurrent_ = false;
    Ref last_; // the text added last, while hasLast_
    bool hasLast_ = false;
};

} // namespace core
