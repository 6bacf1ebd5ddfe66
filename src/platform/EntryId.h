#pragma once
// What an entry was when it was listed: its file system, its inode and its
// kind. A deletion is carried out only on an entry that is still the same
// object of the same kind, so nothing that took a listed entry's place (a
// link swapped in, a folder where a file was, another file of the same
// name) is ever deleted in its stead.

#include <QHashFunctions>
#include <QtGlobal>

namespace platform {

enum class EntryKind : quint8 { Unknown, File, Folder, Link, Special };

struct EntryId {
    quint64 device = 0;
    quint64 inode = 0;
    // When the entry was made, where the file system tells (0 otherwise):
    // an inode number freed by a deletion is soon given to a new entry.
    qint64 bornSeconds = 0;
    quint32 bornNanoseconds = 0;
    EntryKind kind = EntryKind::Unknown;

    // False for an id that records nothing (the entry was never looked at).
    bool isKnown() const { return kind != EntryKind::Unknown; }

    friend bool operator==(const EntryId&, const EntryId&) = default;
};

// For sets of listed entries.
inline size_t qHash(const EntryId& id, size_t seed = 0)
{
    return qHashMulti(seed, id.device, id.inode, id.bornSeconds);
}

} // namespace platform
