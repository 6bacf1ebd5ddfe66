#pragma once
// What became of one entry that a command found or tried to delete: the
// record that the window's log and the command line are both told.

#include <QString>

enum class OutcomeKind {
    Found,   // listed by a search
    Skipped, // listed but protected, so left alone
    Deleted, // moved to the trash or deleted for good
    Failed,  // the deletion was refused or failed; error and reason say why
};

struct CleanOutcome {
    CleanOutcome() = default;
    CleanOutcome(OutcomeKind kind, QString path, quint64 size = 0, int error = 0, QString reason = {})
        : kind(kind)
        , path(std::move(path))
        , size(size)
        , error(error)
        , reason(std::move(reason))
    {}

    OutcomeKind kind = OutcomeKind::Found;
    QString path; // Windows form
    quint64 size = 0;
    int error = 0;  // the Windows system error code of a failure
    QString reason; // why it was skipped or failed; empty otherwise
};
