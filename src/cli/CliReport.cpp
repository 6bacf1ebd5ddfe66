#include "cli/CliReport.h"

#include "cli/PrintableText.h"
#include "platform/Console.h"
#include "platform/PathMapper.h"
#include "platform/WinePrefix.h"

#include <QDateTime>
#include <QJsonDocument>
#include <cstdio>

namespace {

using PrintableText::escaped;

// The host path as text; and, when its bytes are no UTF-8 (so the text had
// to replace some of them), the bytes themselves percent-encoded, so that
// two such files never read as one.
void addHostPath(QJsonObject& fields, const QString& path)
{
    const QByteArray host = platform::PathMapper::toHostAsWritten(path);
    const QString text = QString::fromUtf8(host);
    fields.insert(QStringLiteral("hostPath"), text);
    if (text.toUtf8() != host)
        fields.insert(QStringLiteral("hostPathBytes"), QString::fromLatin1(host.toPercentEncoding()));
}

QString resultName(OutcomeKind kind)
{
    switch (kind) {
    case OutcomeKind::Found:
        return QStringLiteral("found");
    case OutcomeKind::Skipped:
        return QStringLiteral("skipped");
    case OutcomeKind::Deleted:
        return QStringLiteral("deleted");
    case OutcomeKind::Failed:
        return QStringLiteral("failed");
    }
    return {};
}

} // namespace

CliReport::CliReport(const QString& command, bool json)
    : command_(command)
    , json_(json)
{
    top_.insert(QStringLiteral("command"), command);
    if (const QByteArray prefix = platform::WinePrefix::folder(); !prefix.isEmpty())
        top_.insert(QStringLiteral("prefix"), QString::fromLocal8Bit(prefix));
}

void CliReport::print(const QString& line) const
{
    platform::Console::writeOut(line.toUtf8() + '\n');
}

void CliReport::file(const QString& path, quint64 size, const QString& reason, const QString& target)
{
    ++count_;
    size_ += size;
    if (reason.isEmpty())
        deletableSize_ += size;
    else
        ++protected_;
    if (!json_) {
        print(escaped(path) + u'\t' + QString::number(size) + (target.isEmpty() ? QString() : u'\t' + escaped(target))
              + (reason.isEmpty() ? QString() : QStringLiteral("\t[[-]] ") + escaped(reason)));
        return;
    }
    QJsonObject fields{{QStringLiteral("path"), path},
                       {QStringLiteral("size"), double(size)},
                       {QStringLiteral("protected"), !reason.isEmpty()},
                       {QStringLiteral("reason"), reason}};
    addHostPath(fields, path);
    if (!target.isEmpty())
        fields.insert(QStringLiteral("target"), target);
    byPath_.insert(path, entries_.size());
    entries_.append(fields);
}

void CliReport::finding(const core::Finding& f)
{
    const QString reason = core::reasonOf(f.protection);
    if (f.kind.isEmpty()) {
        file(f.path, f.size, reason, f.detail);
        return;
    }
    const QString lastUsed =
        f.lastUsed > 0 ? QDateTime::fromSecsSinceEpoch(f.lastUsed, Qt::UTC).toString(Qt::ISODate) : QString();
    if (!json_) {
        ++count_;
        size_ += f.size;
        reason.isEmpty() ? void(deletableSize_ += f.size) : void(++protected_);
        print(QStringList{f.kind, escaped(f.name), escaped(f.path), QString::number(f.size), lastUsed,
                          QString::number(f.userBytes), f.selected ? QStringLiteral("selected") : QStringLiteral("-")}
                  .join(u'\t')
              + (reason.isEmpty() ? QString() : QStringLiteral("\t[[-]] ") + reason));
        return;
    }
    file(f.path, f.size, reason);
    QJsonObject fields = entries_.last().toObject();
    fields.insert(QStringLiteral("kind"), f.kind);
    fields.insert(QStringLiteral("name"), f.name);
    fields.insert(QStringLiteral("lastUsed"), lastUsed);
    fields.insert(QStringLiteral("userFiles"), double(f.userBytes));
    fields.insert(QStringLiteral("selected"), f.selected);
    entries_.replace(entries_.size() - 1, fields);
}

void CliReport::entry(const QJsonObject& fields, const QStringList& columns)
{
    ++count_;
    if (json_) {
        entries_.append(fields);
        return;
    }
    QStringList shown;
    for (const QString& column : columns)
        shown.append(escaped(column));
    print(shown.join(u'\t'));
}

void CliReport::outcome(const CleanOutcome& outcome)
{
    deleting_ = true;
    if (outcome.kind == OutcomeKind::Deleted)
        ++deleted_;
    else if (outcome.kind == OutcomeKind::Failed)
        ++failed_;
    else if (outcome.kind == OutcomeKind::Skipped)
        ++skipped_;
    if (!json_) {
        QString line = resultName(outcome.kind) + u'\t' + escaped(outcome.path);
        if (outcome.kind == OutcomeKind::Failed)
            line += QStringLiteral("\terror %1: %2").arg(outcome.error).arg(escaped(outcome.reason));
        else if (outcome.kind == OutcomeKind::Skipped)
            line += u'\t' + escaped(outcome.reason);
        print(line);
        // Each result is out before the next deletion: a reader that has
        // gone stops the job after this entry.
        platform::Console::flushOut();
        return;
    }
    const auto at = byPath_.constFind(outcome.path);
    QJsonObject fields = at == byPath_.constEnd() ? QJsonObject{{QStringLiteral("path"), outcome.path}}
                                                  : entries_.at(*at).toObject();
    fields.insert(QStringLiteral("result"), resultName(outcome.kind));
    fields.insert(QStringLiteral("error"), outcome.error);
    if (!outcome.reason.isEmpty() && outcome.kind == OutcomeKind::Failed)
        fields.insert(QStringLiteral("reason"), outcome.reason);
    if (at == byPath_.constEnd())
        entries_.append(fields);
    else
        entries_.replace(*at, fields);
}

void CliReport::drives(const QList<platform::FixedDrive>& drives, const QStringList& temporaryFolders)
{
    QJsonObject letters;
    QStringList shown;
    for (const platform::FixedDrive& drive : drives) {
        const QString host = QString::fromLocal8Bit(drive.hostRoot);
        letters.insert(QString(drive.letter) + u':', host);
        shown.append(QString(drive.letter) + QStringLiteral(": ") + escaped(host));
    }
    for (const QString& folder : temporaryFolders) {
        const QString host = QString::fromLocal8Bit(platform::PathMapper::toHost(folder));
        letters.insert(folder, host);
        shown.append(folder + QStringLiteral(" ") + host);
    }
    top_.insert(QStringLiteral("drives"), letters);
    if (platform::Console::errorIsTerminal()) {
        const QByteArray line = "varnel-cli: drives " + shown.join(QStringLiteral(", ")).toUtf8() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    }
}

void CliReport::set(const QString& key, const QJsonValue& value)
{
    top_.insert(key, value);
}

void CliReport::finish(bool interrupted, bool unconfirmed)
{
    if (json_) {
        top_.insert(QStringLiteral("entries"), entries_);
        QJsonObject total{{QStringLiteral("count"), count_},
                          {QStringLiteral("size"), double(size_)},
                          {QStringLiteral("protected"), protected_}};
        if (deleting_) {
            total.insert(QStringLiteral("deleted"), deleted_);
            total.insert(QStringLiteral("failed"), failed_);
            total.insert(QStringLiteral("skipped"), skipped_);
        }
        top_.insert(QStringLiteral("total"), total);
        top_.insert(QStringLiteral("interrupted"), interrupted);
        top_.insert(QStringLiteral("confirmed"), !unconfirmed);
        platform::Console::writeOut(QJsonDocument(top_).toJson(QJsonDocument::Indented));
        platform::Console::flushOut();
        return;
    }
    if (deleting_)
        print(QStringLiteral("total: %1 deleted, %2 failed, %3 skipped").arg(deleted_).arg(failed_).arg(skipped_));
    else if (unconfirmed)
        print(QStringLiteral("total: %1 entries, %2 bytes; %3 would be deleted (%4 bytes), %5 protected")
                  .arg(count_)
                  .arg(size_)
                  .arg(count_ - protected_)
                  .arg(deletableSize_)
                  .arg(protected_));
    else
        print(QStringLiteral("total: %1 entries, %2 bytes, %3 protected").arg(count_).arg(size_).arg(protected_));
    if (interrupted)
        print(QStringLiteral("interrupted"));
    platform::Console::flushOut();
}
