#pragma once
// The types the file search component and its engine share: the option and
// filter enumerations, the sets built from them, the records handed to the
// events and the event types.

#include "platform/EntryId.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <initializer_list>

enum TOptionsKind {
    okIncludeSubfolder,
    okLookForReadOnlyFile,
    okLookForHiddenFile,
    okLookForSystemFile,
    okLookForDirectory,
    okLookForArchiveFile,
    okLookForAnyFile
};

enum TFilterKind { fkFilterOnDate, fkFilterOnSize };

enum TDateFilterAccessKind { dfakCreatedFiles, dfakModifiedFiles, dfakOpenedFiles, dfakAnyFiles };

enum TDateFilterKind { dfkBetween, dfkBefore, dfkAfter, dfkSame };

enum TSizeFilterKind { sfkSmallerOrEqualTo, sfkBiggerOrEqualTo };

// A set of enumeration values, one bit per value.
template <typename E> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values)
    {
        for (E v : values)
            bits_ |= 1u << unsigned(v);
    }
    constexpr bool contains(E v) const { return (bits_ >> unsigned(v)) & 1u; }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr TEnumSet& insert(E v)
    {
        bits_ |= 1u << unsigned(v);
        return *this;
    }
    constexpr TEnumSet& remove(E v)
    {
        bits_ &= ~(1u << unsigned(v));
        return *this;
    }
    friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

private:
    quint32 bits_ = 0;
};

using TOptions = TEnumSet<TOptionsKind>;
using TFilter = TEnumSet<TFilterKind>;

// One kept entry. Valid only during the event call.
struct TFileInformations {
    QString Name;             // entry name without folder
    QString Path;             // folder holding the entry, always ending in a backslash
    quint32 Attributes = 0;   // Windows attribute bits
    qint32 Size = 0;          // low 32 bits of the size; 0 for folders
    QDateTime CreationTime;   // local time
    QDateTime LastAccessTime; // local time
    QDateTime LastWriteTime;  // local time
    // What the entry was when it was listed; a deletion given this id
    // touches that very entry or nothing.
    platform::EntryId Id;
};

struct TStatistics {
    qint32 FilesFound = 0;
    qint32 FoldersFound = 0;
    qint32 ElapsedMs = 0; // tick difference, modulo 2^32
};

using TOnFileFinded = std::function<void(const TFileInformations& FileFinded)>;
using TOnChangeFolder = std::function<void(const QString& NewPath)>;
using TOnStatistics = std::function<void(const TStatistics& Stats)>;
