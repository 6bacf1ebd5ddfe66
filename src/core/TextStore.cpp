#include "core/TextStore.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// 64 KiB: a few hundred paths a block, and below the size the allocator
// would map on its own, so blocks reuse the room that freed lists leave.
// Offsets in a block fit 16 bits.
constexpr quint32 BlockChars = 32 * 1024;
// The block of an empty text, which takes no room.
constexpr quint32 NoBlock = std::numeric_limits<quint32>::max();

} // namespace

namespace core {

TextStore::Ref TextStore::add(QStringView text)
{
    const auto length = quint32(qMin<qsizetype>(text.size(), std::numeric_limits<quint32>::max() - 1));
    if (length == 0)
        return {NoBlock, 0, 0};
    text = text.first(length);
    if (hasLast_ && view(last_) == text) {
        ++blocks_[last_.block].uses;
        return last_;
    }
    Ref ref;
    if (length > BlockChars) {
        ref = {newBlock(length), 0, LongText}; // the current block stays current
    } else {
        if (!hasCurrent_ || blocks_[current_].capacity - blocks_[current_].used < length) {
            const bool unused = hasCurrent_ && blocks_[current_].uses == 0;
            const quint32 before = current_;
            current_ = newBlock(BlockChars);
            hasCurrent_ = true;
            if (unused) // nothing in it is left to release it
                freeBlock(before);
        }
        ref = {current_, quint16(blocks_[current_].used), quint16(length)};
    }
    Block& block = blocks_[ref.block];
    std::memcpy(block.chars.get() + block.used, text.utf16(), size_t(length) * sizeof(char16_t));
    block.used += length;
    ++block.uses;
    last_ = ref;
    hasLast_ = true;
    return ref;
}

void TextStore::release(const Ref& ref)
{
    if (ref.block >= blocks_.size())
        return; // an empty text
    Block& block = blocks_[ref.block];
    Q_ASSERT(block.uses > 0);
    if (block.uses == 0 || --block.uses > 0)
        return;
    if (hasLast_ && last_.block == ref.block)
        hasLast_ = false;
    if (hasCurrent_ && current_ == ref.block)
        block.used = 0; // kept for the texts to come
    else
        freeBlock(ref.block);
}

QStringView TextStore::view(const Ref& ref) const
{
    if (ref.block >= blocks_.size() || !blocks_[ref.block].chars)
        return {};
    const Block& block = blocks_[ref.block];
    if (ref.length == LongText)
        return QStringView(block.chars.get(), qsizetype(block.used));
    return QStringView(block.chars.get() + ref.offset, qsizetype(ref.length));
}

int TextStore::blockCount() const
{
    return int(std::count_if(blocks_.begin(), blocks_.end(), [](const Block& b) { return b.uses > 0; }));
}

quint32 TextStore::newBlock(quint32 length)
{
    Block block;
    block.capacity = qMax(length, BlockChars);
    block.chars.reset(new char16_t[block.capacity]);
    if (!freeSlots_.empty()) {
        const quint32 slot = freeSlots_.back();
        freeSlots_.pop_back();
        blocks_[slot] = std::move(block);
        return slot;
    }
    blocks_.push_back(std::move(block));
    return quint32(blocks_.size() - 1);
}

void TextStore::freeBlock(quint32 slot)
{
    blocks_[slot] = Block();
    freeSlots_.push_back(slot);
}

} // namespace core
