#pragma once
// The one way any command deletes what it listed. Every deletion reaches
// platform::ShellDelete through Dispose, by the id the entry had when it was
// listed, so nothing but that very entry is ever deleted.

#include "core/CleanOutcome.h"
#include "core/Finding.h"
#include "platform/EntryId.h"

#include <QList>
#include <QString>
#include <functional>

class OutcomeSink;

namespace core {

// How a listed entry goes: for good, into the trash, or for good while it
// still holds nothing but folders and zero-byte files.
enum class Disposal { Erase, Recycle, EraseEmptyFolder };

// Disposes of the entry at path (Windows form) as how says, by the id it had
// when it was listed. The outcome is Deleted, or Failed with the shell's
// error code and reason (platform::ShellDelete::lastError); its size is 0.
CleanOutcome Dispose(const QString& path, const platform::EntryId& listed, Disposal how);

// Disposes of each finding in order inside one deletion pass, reporting an
// outcome for every one to outcomes: a protected finding is Skipped with
// its reason and left alone, the others go as how says; each outcome
// carries the finding's size. stop is asked before each finding; when it
// says yes the rest are left and false is returned, else true.
bool DisposeAll(const QList<Finding>& findings, Disposal how, const OutcomeSink& outcomes,
                const std::function<bool()>& stop = {});

} // namespace core

// The names the rest of the program knows the two shell deletions by: true
// when the whole entry went.
inline bool RecycleFile(const QString& path, const platform::EntryId& listed = {})
{
    return core::Dispose(path, listed, core::Disposal::Recycle).kind == OutcomeKind::Deleted;
}

inline bool EraseFile(const QString& path, const platform::EntryId& listed = {})
{
    return core::Dispose(path, listed, core::Disposal::Erase).kind == OutcomeKind::Deleted;
}
