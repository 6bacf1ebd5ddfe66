#pragma once
// What a command prints on standard output: one line per entry and a total
// line, or with --json one JSON document at the end. Entries are the
// command's own (files, registry values, programs, prefixes); deletions
// add each entry's result. Plain lines print names with their control
// characters C-escaped (PrintableText), so no name can forge a line. Every
// write goes through platform::Console: a write that fails stops the job
// and the command ends with an output error.

#include "platform/DriveTable.h"
#include "platform/EntryId.h"
#include "core/CleanOutcome.h"
#include "core/Finding.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class CliReport {
public:
    CliReport(const QString& command, bool json);

    // A listed file or folder: its Windows path, host path, size and, when
    // protected, why. Plain: "path<TAB>size" and "<TAB>[[-]] reason". A
    // shortcut's target goes after the size. JSON: "hostPath" as text, and
    // "hostPathBytes" (percent-encoded) when the host path is no UTF-8.
    void file(const QString& path, quint64 size, const QString& reason = {}, const QString& target = {});

    // A job's finding: as file() (its detail as the target) when it has no
    // kind; else file()'s fields plus its kind, name, when it was
    // last used (ISO 8601, empty when unknown), how many of its bytes are
    // the user's own files and whether it is chosen by default. Plain:
    // "kind<TAB>name<TAB>path<TAB>size<TAB>lastUsed<TAB>userFiles<TAB>selected"
    // and "<TAB>[[-]] reason" when protected.
    void finding(const core::Finding& finding);

    // Any other entry: its fields for JSON and, for plain output, the
    // columns of its line (joined by tabs).
    void entry(const QJsonObject& fields, const QStringList& columns);

    // What became of a listed entry's deletion. Plain: "deleted<TAB>path",
    // "skipped<TAB>path<TAB>reason", "failed<TAB>path<TAB>error N: reason".
    // JSON: result and error on the entry of that path.
    void outcome(const CleanOutcome& outcome);

    // Which host folder each drive letter stands for: in the JSON document,
    // and on standard error while it is a terminal, so that whoever runs a
    // deleting command sees how far it reaches (without VARNEL_DRIVES or a
    // prefix, c: is the whole root file system). The temporary folders a
    // search empties (Windows form) are listed beside them, keyed by that
    // form, since they may lie outside every drive.
    void drives(const QList<platform::FixedDrive>& drives, const QStringList& temporaryFolders = {});

    // A field of the JSON document's top level ("environment", "checked").
    void set(const QString& key, const QJsonValue& value);

    // Ends the report: the total line(s), or the whole JSON document. A
    // deletion that was asked for but not confirmed is reported as such.
    void finish(bool interrupted, bool unconfirmed = false);

    int failed() const { return failed_; }
    int listed() const { return count_; }

private:
    void print(const QString& line) const;

    QString command_;
    bool json_;
    QJsonObject top_;
    QJsonArray entries_;
    QHash<QString, qsizetype> byPath_;
    int count_ = 0;
    int protected_ = 0;
    quint64 size_ = 0;
    quint64 deletableSize_ = 0;
    int deleted_ = 0;
    int failed_ = 0;
    int skipped_ = 0;
    bool deleting_ = false;
};
