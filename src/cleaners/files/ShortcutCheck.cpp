#include "cleaners/files/ShortcutCheck.h"

#include "platform/DriveTable.h"
#include "platform/EntryLookup.h"
#include "formats/WinPath.h"

#include <optional>

namespace {

// The extension of a path's last component, from its last dot, dot included.
QString extensionOf(const QString& path)
{
    const QString name = formats::WinPath::extractFileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool holdsWindows(QChar drive)
{
    const std::optional<platform::EntryData> system = platform::EntryLookup::read(
        QString(drive) + QStringLiteral(":\\windows\\system32"));
    return system && system->isDirectory;
}

} // namespace

QString ShortcutCheck::placedTarget(const QString& linkPath, const QString& target, const QString& fixedLetters)
{
    const QChar letter = formats::WinPath::driveLetter(target);
    if (letter.isNull())
        return {};
    if (platform::DriveTable::lettersAreWindows())
        return fixedLetters.contains(letter, Qt::CaseInsensitive) ? target : QString();
    const QChar own = formats::WinPath::driveLetter(linkPath);
    if (own.isNull() || letter.toLower() != u'c' || !holdsWindows(own))
        return {};
    return QString(own) + target.mid(1);
}

ShortcutCheck::Verdict ShortcutCheck::judge(const QString& path, bool exeOnly, const QString& fixedLetters,
                                            TdcShellLink& link)
{
    link.SetFILENAME(path);
    Verdict verdict;
    verdict.target = link.LinkTarget;
    const QString extension = extensionOf(verdict.target);
    if (exeOnly && extension != u".exe")
        return verdict;
    const QString placed = extension.isEmpty() ? QString() : placedTarget(path, verdict.target, fixedLetters);
    verdict.counted = !placed.isEmpty();
    verdict.broken = verdict.counted && !platform::EntryLookup::isExistingFile(placed);
    return verdict;
}
