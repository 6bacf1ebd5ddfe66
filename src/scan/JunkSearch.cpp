#include "scan/JunkSearch.h"

#include "platform/WinPath.h"
#include "scan/FileHelpers.h"
#include "settings/Settings.h"

namespace JunkSearch {

namespace {

bool switchOn(const char* key, const char* def)
{
    return IsSwitchOn(ReadSetting(QStringLiteral("Search"), QLatin1String(key), QLatin1String(def)));
}

// Reads the count of a numbered list; nullopt when it is not a number.
std::optional<int> listCount(const QString& section)
{
    int n = 0;
    if (!TryStrToInt(ReadSetting(section, QStringLiteral("Items"), QStringLiteral("0")), n))
        return std::nullopt;
    return n;
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
    const std::optional<int> n = listCount(QStringLiteral("CFilters"));
    for (int i = 0; n && i < *n; ++i) {
        const QString number = QString::number(i);
        if (IsStateOn(ReadSetting(QStringLiteral("CFilters"), QStringLiteral("StateFilter") + number, QStringLiteral("0"))))
            masks.prepend(ReadSetting(QStringLiteral("CFilters"), QStringLiteral("Filter") + number, QString()));
    }
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
    const std::optional<int> n = listCount(QStringLiteral("ExDirs"));
    for (int i = 0; n && i < *n; ++i) {
        const QString number = QString::number(i);
        if (!IsStateOn(ReadSetting(QStringLiteral("ExDirs"), QStringLiteral("State") + number, QStringLiteral("0"))))
            continue;
        const QString dir = ReadSetting(QStringLiteral("ExDirs"), QStringLiteral("Dir") + number, QString());
        for (QString& caption : captions)
            if (IsInExcludedDir(caption, dir))
                caption.prepend(SkipMarker);
    }
}

bool IsInExcludedDir(const QString& caption, const QString& dir)
{
    return platform::WinPath::startsWithIgnoringCase(caption, dir);
}

bool DeleteFoundFile(const QString& path, const platform::EntryId& listed)
{
    if (IsSwitchOn(ReadSetting(QStringLiteral("Delete"), QStringLiteral("Recycle"), QStringLiteral("Yes"))))
        return RecycleFile(path, listed);
    return EraseFile(path, listed);
}

} // namespace JunkSearch
