#include "scan/JunkSearch.h"

#include <QSet>
#include <algorithm>

#include "platform/FolderCheck.h"
#include "platform/HostSystemFolders.h"
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

bool IsMarked(const QString& caption)
{
    return caption.startsWith(u"[[-]]");
}

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

std::optional<FoundRow> RowFor(const QString& fileName, const platform::FolderListing::Found& entry, ListedIds& listed)
{
    if (fileName.startsWith(u'\\'))
        return std::nullopt;
    if (entry.id.isKnown()) {
        const qsizetype before = listed.size();
        listed.insert(entry.id);
        if (listed.size() == before)
            return std::nullopt;
    }
    // What the package manager installed is listed, but never deleted.
    return FoundRow{entry.packaged ? SkipMarker + fileName : fileName, entry.size, entry.id};
}

QString ProtectionReason(Protection why)
{
    switch (why) {
    case Protection::Packaged:
        return QStringLiteral("installed by a package");
    case Protection::SystemFolder:
        return QStringLiteral("in a system folder");
    case Protection::ExcludedFolder:
        return QStringLiteral("in an excluded folder");
    case Protection::None:
        break;
    }
    return {};
}

QList<Protection> MarkProtected(QStringList& captions)
{
    QList<Protection> why(captions.size(), Protection::None);
    for (qsizetype i = 0; i < captions.size(); ++i)
        if (IsMarked(captions[i]))
            why[i] = Protection::Packaged;
    const auto note = [&](const QStringList& before, Protection rule) {
        for (qsizetype i = 0; i < captions.size(); ++i)
            if (why[i] == Protection::None && captions[i].size() != before[i].size())
                why[i] = rule;
    };
    const QStringList unmarked = captions;
    MarkSystemFiles(captions);
    note(unmarked, Protection::SystemFolder);
    const QStringList systemMarked = captions;
    MarkExcludedDirs(captions);
    note(systemMarked, Protection::ExcludedFolder);
    return why;
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

void MarkSystemFiles(QStringList& captions)
{
    if (!switchOn(SettingKeys::InSysFolders))
        return;
    if (platform::HostSystemFolders::standInForWindows()) {
        // Without a Windows folder the host's own system folders are the
        // ones to keep; "c:\" keeps its rule, whatever it stands for.
        for (QString& caption : captions)
            if (!IsMarked(caption)
                && (formats::WinPath::extractFilePath(caption) == u"c:\\"
                    || platform::HostSystemFolders::holdsWindowsPath(caption)))
                caption.prepend(SkipMarker);
        return;
    }
    for (QString& caption : captions) {
        const QString original = caption;
        if (formats::WinPath::extractFilePath(original) == u"c:\\")
            caption.prepend(SkipMarker);
        if (IsInSystemFolder(original))
            caption.prepend(SkipMarker);
    }
}

namespace {

// Marks the captions that begin with one of the folders, in the folders'
// order, each folder seeing the captions as the ones before it left them.
// A plain text prefix without regard to case: "C:\TEMP" also covers
// "C:\TEMPORARY\X.TMP", and a marked caption matches no folder.
void markFolderByFolder(QStringList& captions, const QStringList& folders)
{
    for (const QString& dir : folders)
        for (QString& caption : captions)
            if (formats::WinPath::startsWithIgnoringCase(caption, dir))
                caption.prepend(SkipMarker);
}

} // namespace

void MarkExcludedDirs(QStringList& captions)
{
    // One reading of the file for the whole list, however long it is.
    QStringList checked;
    for (const SettingsListEntry& excluded : ReadSettingsList(SettingsList::ExcludedDirs))
        if (excluded.checked)
            checked.append(excluded.text);
    // An empty folder matches every caption, marked or not, however often
    // it stands in the list: the plain way gives exactly that.
    if (checked.contains(QString())
        || std::any_of(checked.begin(), checked.end(), [](const QString& d) { return IsMarked(d); })) {
        markFolderByFolder(captions, checked);
        return;
    }
    // Otherwise a caption is marked once, when one of its beginnings is a
    // folder: each text is folded once and each caption asks a set about
    // its beginnings of the folders' lengths, instead of comparing every
    // pair (ten thousand exclusions stay quick).
    QSet<QString> folders;
    QList<qsizetype> lengths;
    for (const QString& dir : checked) {
        const QString folded = formats::WinPath::foldedCase(dir);
        if (!lengths.contains(folded.size()))
            lengths.append(folded.size());
        folders.insert(folded);
    }
    std::sort(lengths.begin(), lengths.end());
    for (QString& caption : captions) {
        if (folders.isEmpty() || IsMarked(caption))
            continue; // a marked caption matches no folder
        const QString folded = formats::WinPath::foldedCase(caption);
        for (const qsizetype length : lengths) {
            if (length > folded.size())
                break;
            if (folders.contains(QStringView(folded).left(length).toString())) {
                caption.prepend(SkipMarker);
                break;
            }
        }
    }
}

bool DeleteFoundFile(const QString& path, const platform::EntryId& listed)
{
    return DeleteRow(path, listed).kind == OutcomeKind::Deleted;
}

CleanOutcome DeleteRow(const QString& caption, const platform::EntryId& listed, RowDisposal how)
{
    if (IsMarked(caption))
        return {OutcomeKind::Skipped, caption.mid(SkipMarker.size()), 0, 0, QStringLiteral("protected")};
    if (how == RowDisposal::AsSettingsSay)
        how = switchOn(SettingKeys::Recycle) ? RowDisposal::Recycle : RowDisposal::Erase;
    return core::Dispose(caption, listed, how == RowDisposal::Recycle ? core::Disposal::Recycle : core::Disposal::Erase);
}

} // namespace JunkSearch
