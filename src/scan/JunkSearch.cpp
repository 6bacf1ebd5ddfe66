#include "scan/JunkSearch.h"

#include "platform/WinPath.h"
#include "scan/FileHelpers.h"
#include "settings/Settings.h"
#include "settings/SettingsList.h"

namespace JunkSearch {

namespace {

bool switchOn(const char* key, const char* def)
{
    return IsSwitchOn(ReadSetting(QStringLiteral("Search"), QLatin1String(key), QLatin1String(def)));
}

} // namespace

bool IsMarked(const QString& caption)
{
    return caption.startsWith(u"[[-]]");
}

std::optional<QStringList> SelectedDrives(const QStringList& driveItems, QString* badValue)
{
    QStringList drives;
    if (ReadSetting(QStringLiteral("Search"), QStringLiteral("Disk"), QStringLiteral("All")) == u"All") {
        for (const QString& item : driveItems)
            drives.append(item.left(2));
        return drives;
    }
    const QString text = ReadSetting(QStringLiteral("Search"), QStringLiteral("Disk"), QStringLiteral("0"));
    int index = 0;
    if (!TryStrToInt(text, index)) {
        if (badValue)
            *badValue = text;
        return std::nullopt;
    }
    drives.append(index >= 0 && index < driveItems.size() ? driveItems[index].left(2) : QString());
    return drives;
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
    if (switchOn("CustomFiles", "Yes"))
        LoadCustomFilters(masks);
    if (switchOn("TempFiles", "Yes")) {
        masks.prepend(QStringLiteral("*.temp"));
        masks.prepend(QStringLiteral("*.tmp"));
    }
    if (switchOn("BAKFiles", "Yes"))
        masks.prepend(QStringLiteral("*.bak"));
    if (switchOn("OLDFiles", "No"))
        masks.prepend(QStringLiteral("*.old"));
    if (switchOn("GIDFiles", "No"))
        masks.prepend(QStringLiteral("*.gid"));
    return masks;
}

QStringList BuildWalkerFilter(const QStringList& drives, const QStringList& masks)
{
    QStringList filter;
    if (switchOn("TempFolders", "Yes")) {
        filter.prepend(GetTempDir() + QStringLiteral("*.*"));
        filter.prepend(GetWindowsDir() + QStringLiteral("\\Temp\\*.*"));
    }
    for (const QString& drive : drives)
        for (const QString& mask : masks)
            filter.prepend(drive + u'\\' + mask);
    return filter;
}

bool IsInSystemFolder(const QString& path)
{
    const QString windows = GetWindowsDir();
    const QString folder = platform::WinPath::extractFilePath(path);
    return folder.left(windows.size() + 7).toUpper() == (windows + QStringLiteral("\\System")).toUpper();
}

void MarkSystemFiles(QStringList& captions)
{
    if (!IsSwitchOn(ReadSetting(QStringLiteral("Delete"), QStringLiteral("InSysFolders"), QStringLiteral("No"))))
        return;
    for (QString& caption : captions) {
        const QString original = caption;
        if (platform::WinPath::extractFilePath(original) == u"c:\\")
            caption.prepend(SkipMarker);
        if (IsInSystemFolder(original))
            caption.prepend(SkipMarker);
    }
}

void MarkExcludedDirs(QStringList& captions)
{
    // One reading of the file for the whole list, however long it is.
    for (const SettingsListEntry& excluded : ReadSettingsList(SettingsList::ExcludedDirs)) {
        if (!excluded.checked)
            continue;
        const QString dir = excluded.text.toUpper();
        for (QString& caption : captions)
            if (caption.left(dir.size()).toUpper() == dir)
                caption.prepend(SkipMarker);
    }
}

bool DeleteFoundFile(const QString& path)
{
    if (IsSwitchOn(ReadSetting(QStringLiteral("Delete"), QStringLiteral("Recycle"), QStringLiteral("Yes"))))
        return RecycleFile(path);
    return EraseFile(path);
}

} // namespace JunkSearch
