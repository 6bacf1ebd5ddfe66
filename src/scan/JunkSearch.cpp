#include "scan/JunkSearch.h"

#include "platform/FolderCheck.h"
#include "formats/WinPath.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "settings/Settings.h"
#include "settings/SettingsList.h"

namespace JunkSearch {

namespace {

bool switchOn(const SwitchKey& k)
{
    return ReadSwitch(k);
}

} // namespace

std::optional<QStringList> SelectedDrives(const QStringList& driveItems, QString* badValue)
{
    QStringList drives;
    const QString text = ReadSetting(SettingKeys::Disk);
    if (text == u"All") {
        for (const QString& item : driveItems)
            drives.append(item.left(2));
        return drives;
    }
    int index = 0;
    if (!TryStrToInt(text, index)) {
        if (badValue)
            *badValue = text;
        return std::nullopt;
    }
    drives.append(index >= 0 && index < driveItems.size() ? driveItems[index].left(2) : QString());
    return drives;
}

std::optional<SearchPlan> PlanSearch(const QStringList& driveItems, QString* badValue)
{
    std::optional<QStringList> drives = SelectedDrives(driveItems, badValue);
    if (!drives)
        return std::nullopt;
    return PlanSearchOn(*drives);
}

namespace {

// The walker's filter for these temporary folders, already judged.
QStringList walkerFilter(const QStringList& drives, const QStringList& masks, const QStringList& temporaryFolders)
{
    QStringList filter;
    for (const QString& folder : temporaryFolders)
        filter.append(folder + QStringLiteral("*.*"));
    for (const QString& drive : drives)
        for (const QString& mask : masks)
            filter.prepend(drive + u'\\' + mask);
    return filter;
}

} // namespace

SearchPlan PlanSearchOn(const QStringList& drives)
{
    SearchPlan plan{drives, BuildMaskList(), {}, {}, {}};
    plan.temporaryFolders = TemporaryFolders(&plan.refusedFolders);
    plan.filter = walkerFilter(plan.drives, plan.masks, plan.temporaryFolders);
    return plan;
}

QStringList TemporaryFolders(QStringList* refused)
{
    QStringList folders;
    if (!switchOn(SettingKeys::TempFolders))
        return folders;
    for (const QString& folder : {GetWindowsDir() + QStringLiteral("\\Temp\\"), GetTempDir()}) {
        if (platform::FolderCheck::temporaryEmptiable(folder))
            folders.append(folder);
        else if (refused)
            refused->append(folder);
    }
    return folders;
}

void LoadCustomFilters(QStringList& masks)
{
    for (const SettingsListEntry& filter : ReadSettingsList(SettingsList::Filters))
        if (filter.checked)
            masks.prepend(filter.text);
}

QStringList BuildMaskList()
{
    QStringList masks;
    if (switchOn(SettingKeys::CustomFiles))
        LoadCustomFilters(masks);
    if (switchOn(SettingKeys::TempFiles)) {
        masks.prepend(QStringLiteral("*.temp"));
        masks.prepend(QStringLiteral("*.tmp"));
    }
    if (switchOn(SettingKeys::BAKFiles))
        masks.prepend(QStringLiteral("*.bak"));
    if (switchOn(SettingKeys::OLDFiles))
        masks.prepend(QStringLiteral("*.old"));
    if (switchOn(SettingKeys::GIDFiles))
        masks.prepend(QStringLiteral("*.gid"));
    return masks;
}

QStringList BuildWalkerFilter(const QStringList& drives, const QStringList& masks, QStringList* refused)
{
    return walkerFilter(drives, masks, TemporaryFolders(refused));
}

bool IsInSystemFolder(const QString& path)
{
    const QString windows = GetWindowsDir();
    const QString folder = formats::WinPath::extractFilePath(path);
    return folder.left(windows.size() + 7).toUpper() == (windows + QStringLiteral("\\System")).toUpper();
}

bool DeleteFoundFile(const QString& path, const platform::EntryId& listed)
{
    const core::Disposal how = ReadSwitch(SettingKeys::Recycle) ? core::Disposal::Recycle : core::Disposal::Erase;
    return core::Dispose(path, listed, how).kind == OutcomeKind::Deleted;
}

} // namespace JunkSearch
