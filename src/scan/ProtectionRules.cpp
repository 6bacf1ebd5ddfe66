#include "scan/ProtectionRules.h"

#include "core/Context.h"
#include "formats/WinPath.h"
#include "platform/HostSystemFolders.h"
#include "scan/JunkSearch.h"
#include "settings/Settings.h"
#include "settings/SettingsList.h"

#include <algorithm>

using core::Protection;

namespace {

void add(Protection rule, quint8 count, Protection& why, quint8& markers)
{
    if (count == 0)
        return;
    if (why == Protection::None)
        why = rule;
    markers = quint8(std::min(255, markers + count));
}

} // namespace

ProtectionRules::ProtectionRules()
    : systemOn_(ReadSwitch(SettingKeys::InSysFolders))
    , hostFolders_(platform::HostSystemFolders::standInForWindows())
    , systemFolderUpper_((GetWindowsDir() + QStringLiteral("\\System")).toUpper())
{
    for (const SettingsListEntry& entry : ReadSettingsList(SettingsList::ExcludedDirs))
        if (entry.checked)
            excluded_.append(entry.text);
    folderByFolder_ = std::any_of(excluded_.begin(), excluded_.end(), [](const QString& folder) {
        return folder.isEmpty() || folder.startsWith(QStringView(JunkSearch::SkipMarker).trimmed());
    });
    if (folderByFolder_)
        return;
    // Each folder is folded once and a path asks a set about its beginnings
    // of the folders' lengths: ten thousand exclusions stay quick.
    for (const QString& folder : excluded_) {
        const QString folded = formats::WinPath::foldedCase(folder);
        if (!lengths_.contains(folded.size()))
            lengths_.append(folded.size());
        folded_.insert(folded);
    }
    std::sort(lengths_.begin(), lengths_.end());
}

void ProtectionRules::markSystem(const QString& path, Protection& why, quint8& markers) const
{
    if (!systemOn_ || markers > 0)
        return;
    const QString folder = formats::WinPath::extractFilePath(path);
    const bool inRoot = folder == u"c:\\";
    if (hostFolders_) {
        add(Protection::SystemFolder, inRoot || platform::HostSystemFolders::holdsWindowsPath(path), why, markers);
        return;
    }
    const bool inSystem = folder.left(systemFolderUpper_.size()).toUpper() == systemFolderUpper_;
    add(Protection::SystemFolder, quint8(inRoot) + quint8(inSystem), why, markers);
}

void ProtectionRules::markExcluded(const QString& path, Protection& why, quint8& markers) const
{
    if (folderByFolder_) {
        quint8 added = 0;
        for (const QString& folder : excluded_) {
            const QString caption = JunkSearch::SkipMarker.repeated(markers + added) + path;
            if (formats::WinPath::startsWithIgnoringCase(caption, folder))
                ++added;
        }
        add(Protection::ExcludedFolder, added, why, markers);
        return;
    }
    if (folded_.isEmpty() || markers > 0)
        return;
    const QString folded = formats::WinPath::foldedCase(path);
    for (const qsizetype length : lengths_) {
        if (length > folded.size())
            return;
        if (folded_.contains(QStringView(folded).left(length).toString())) {
            add(Protection::ExcludedFolder, 1, why, markers);
            return;
        }
    }
}

void ProtectionRules::mark(core::Finding& finding) const
{
    markSystem(finding.path, finding.protection, finding.markers);
    markExcluded(finding.path, finding.protection, finding.markers);
}
