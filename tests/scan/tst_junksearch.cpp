// What the junk search reads from the settings and how it protects rows.

#include "core/Context.h"
#include "core/Disposal.h"
#include "scan/JunkSearch.h"
#include "scan/JunkSearchJob.h"
#include "scan/ProtectionRules.h"
#include "core/CallbackSink.h"
#include "settings/Settings.h"
#include "platform/DriveTable.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <unistd.h>

using namespace JunkSearch;

namespace {

// The captions the found list shows for paths (each with markers it came
// with) once a rule of the settings of this moment has marked them.
using Rule = void (ProtectionRules::*)(const QString&, core::Protection&, quint8&) const;

QStringList shown(Rule rule, const QStringList& paths, const QList<quint8>& markers = {})
{
    const ProtectionRules rules;
    QStringList captions;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        quint8 count = markers.value(i);
        core::Protection why = count ? core::Protection::Packaged : core::Protection::None;
        (rules.*rule)(paths[i], why, count);
        // A marker always comes with its reason; a caption without shows it.
        const QString unexplained = (why == core::Protection::None) == (count == 0) ? QString() : QStringLiteral("?");
        captions << SkipMarker.repeated(count) + paths[i] + unexplained;
    }
    return captions;
}

QStringList system(const QStringList& paths, const QList<quint8>& markers = {})
{
    return shown(&ProtectionRules::markSystem, paths, markers);
}

QStringList excluded(const QStringList& paths, const QList<quint8>& markers = {})
{
    return shown(&ProtectionRules::markExcluded, paths, markers);
}

} // namespace

class TestJunkSearch : public QObject {
    Q_OBJECT
    Sandbox box;

    void writeAll(const QList<std::array<const char*, 3>>& values)
    {
        for (const auto& [section, key, value] : values)
            WriteSetting(QLatin1String(section), QLatin1String(key), QString::fromUtf8(value));
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(box.pathText("bin/varnel.ini"));
        qunsetenv("VARNEL_WINDIR");
    }

    void defaultsSearchTmpTempAndBak()
    {
        QCOMPARE(BuildMaskList(), QStringList({"*.bak", "*.tmp", "*.temp"}));
        QCOMPARE(BuildWalkerFilter({"c:"}, {"*.bak"}),
                 QStringList({"c:\\*.bak", "c:\\windows\\Temp\\*.*", GetTempDir() + "*.*"}));
    }

    void everySwitchOnGivesTheDocumentedWalkOrder()
    {
        writeAll({{"Search", "OLDFiles", "Yes"},
                  {"Search", "GIDFiles", "Yes"},
                  {"CFilters", "Items", "3"},
                  {"CFilters", "Filter0", "F0"},
                  {"CFilters", "StateFilter0", "1"},
                  {"CFilters", "Filter1", "F1"},
                  {"CFilters", "StateFilter1", "1"},
                  {"CFilters", "Filter2", "off"},
                  {"CFilters", "StateFilter2", "Yes"}});
        const QStringList masks = BuildMaskList();
        QCOMPARE(masks, QStringList({"*.gid", "*.old", "*.bak", "*.tmp", "*.temp", "F1", "F0"}));
        const QString temp = GetTempDir();
        QCOMPARE(BuildWalkerFilter({"c:", "d:"}, masks),
                 QStringList({"d:\\F0", "d:\\F1", "d:\\*.temp", "d:\\*.tmp", "d:\\*.bak", "d:\\*.old", "d:\\*.gid",
                              "c:\\F0", "c:\\F1", "c:\\*.temp", "c:\\*.tmp", "c:\\*.bak", "c:\\*.old", "c:\\*.gid",
                              "c:\\windows\\Temp\\*.*", temp + "*.*"}));

        writeAll({{"Search", "CustomFiles", "yes"}, {"Search", "TempFolders", "No"}, {"Search", "TempFiles", "No"}});
        QCOMPARE(BuildMaskList(), QStringList({"*.gid", "*.old", "*.bak"}));
        QCOMPARE(BuildWalkerFilter({}, BuildMaskList()), QStringList());
    }

    void aBrokenFilterCountLoadsNothing()
    {
        writeAll({{"CFilters", "Items", "two"}, {"CFilters", "Filter0", "x"}, {"CFilters", "StateFilter0", "1"}});
        QStringList masks{"keep"};
        LoadCustomFilters(masks);
        QCOMPARE(masks, QStringList({"keep"}));
        writeAll({{"CFilters", "Items", "2"}}); // Filter1 missing: an empty, disabled entry
        LoadCustomFilters(masks);
        QCOMPARE(masks, QStringList({"x", "keep"}));
    }

    void theDiskSettingPicksDrives()
    {
        const QStringList items{"c: system", "d: ", "e: data"};
        QCOMPARE(SelectedDrives(items), std::optional<QStringList>(QStringList{"c:", "d:", "e:"}));
        WriteSetting("Search", "Disk", "2");
        QCOMPARE(SelectedDrives(items), std::optional<QStringList>(QStringList{"e:"}));
        WriteSetting("Search", "Disk", "7");
        QCOMPARE(SelectedDrives(items), std::optional<QStringList>(QStringList{""}));
        WriteSetting("Search", "Disk", "all");
        QString bad;
        QCOMPARE(SelectedDrives(items, &bad), std::nullopt);
        QCOMPARE(bad, QStringLiteral("all"));
        QCOMPARE(InvalidIntegerMessage(bad), QStringLiteral("'all' is not a valid integer value"));
    }

    void systemFoldersAndDriveRootAreProtectedOnRequest()
    {
        qputenv("VARNEL_WINDIR", box.path("c/WINDOWS"));
        QStringList rows{"c:\\boot.tmp",
                         "C:\\upper.tmp",
                         "c:\\WINDOWS\\System32\\a.tmp",
                         "c:\\windows\\system\\b.tmp",
                         "c:\\Windows\\SystemApps\\c.tmp",
                         "c:\\windows\\Temp\\d.tmp",
                         "c:\\windows\\sys\\e.tmp"};
        QCOMPARE(system(rows), rows); // InSysFolders defaults to "No"

        WriteSetting("Delete", "InSysFolders", "Yes");
        QCOMPARE(system(rows),
                 QStringList({"[[-]] c:\\boot.tmp", "C:\\upper.tmp", "[[-]] c:\\WINDOWS\\System32\\a.tmp",
                              "[[-]] c:\\windows\\system\\b.tmp", "[[-]] c:\\Windows\\SystemApps\\c.tmp",
                              "c:\\windows\\Temp\\d.tmp", "c:\\windows\\sys\\e.tmp"}));
        QVERIFY(!IsInSystemFolder("c:\\windows\\system.tmp")); // a file, not a folder
    }

    // Without a Windows folder the host's system folders are protected,
    // judged by the host path a drive letter leads to.
    void theHostsSystemFoldersStandInForTheWindowsFolder()
    {
        const QByteArray drives = qgetenv("VARNEL_DRIVES");
        qputenv("VARNEL_DRIVES", "c=" + box.path("c") + ";r=/;l=/var/lib;t=/var/tmp;u=/usr/local");
        platform::DriveTable::reload();
        const struct {
            const char* row;
            bool kept;
        } cases[] = {
            {"l:\\dpkg\\status.tmp", true},   {"l:\\x.tmp", true},          {"r:\\boot.tmp", true},
            {"r:\\usr", true},                {"r:\\etc\\a\\b.bak", true},  {"r:\\lib64\\x.tmp", true},
            {"r:\\libx32\\x.tmp", true},      {"r:\\var\\x.tmp", true},     {"r:\\var\\tmp", true},
            {"r:\\srv\\x.tmp", true},         {"u:\\share\\x.tmp", true},   {"r:\\var\\..\\x.tmp", true},
            {"r:\\var\\tmp\\x.tmp", false},   {"t:\\x.tmp", false},         {"t:\\a\\b.tmp", false},
            {"r:\\home\\u\\x.tmp", false},    {"r:\\tmp\\x.tmp", false},    {"r:\\varx\\x.tmp", false},
            {"r:\\media\\usr\\x.tmp", false}, {"r:\\lib2\\x.tmp", false},   {"c:\\x.tmp", true},
            {"c:\\sub\\x.tmp", false},        {"q:\\etc\\x.tmp", false},
        };
        QStringList rows;
        for (const auto& c : cases)
            rows << QString::fromUtf8(c.row);
        const auto marked = [&rows] {
            const QStringList captions = system(rows);
            QStringList kept;
            for (const QString& caption : captions)
                if (caption.startsWith(SkipMarker))
                    kept << caption.mid(SkipMarker.size());
            return kept;
        };
        QStringList expected;
        for (const auto& c : cases)
            if (c.kept)
                expected << QString::fromUtf8(c.row);

        QCOMPARE(marked(), QStringList()); // InSysFolders defaults to "No"
        WriteSetting("Delete", "InSysFolders", "Yes");
        QCOMPARE(marked(), expected); // each kept row marked once
        QCOMPARE(system({"r:\\etc\\x.tmp"}, {1}).first(), SkipMarker + "r:\\etc\\x.tmp");

        // With a Windows folder its own rule stands, and the host's folders
        // are no longer judged.
        qputenv("VARNEL_WINDIR", box.path("c/windows"));
        QCOMPARE(marked(), QStringList({"c:\\x.tmp"}));
        qputenv("VARNEL_DRIVES", drives);
        platform::DriveTable::reload();
    }

    void excludedFoldersArePlainTextPrefixes()
    {
        writeAll({{"ExDirs", "Items", "3"},
                  {"ExDirs", "Dir0", "C:\\TEMP"},
                  {"ExDirs", "State0", "1"},
                  {"ExDirs", "Dir1", "c:\\data"},
                  {"ExDirs", "State1", "0"},
                  {"ExDirs", "Dir2", "d:\\"}});
        const QStringList paths{"c:\\temporary\\x.tmp", "c:\\temp\\y.tmp", "c:\\data\\z.tmp", "d:\\w.tmp"};
        QCOMPARE(excluded(paths),
                 QStringList({"[[-]] c:\\temporary\\x.tmp", "[[-]] c:\\temp\\y.tmp", "c:\\data\\z.tmp", "d:\\w.tmp"}));

        // An enabled empty path marks every row, also one marked already.
        writeAll({{"ExDirs", "Items", "1"}, {"ExDirs", "Dir0", ""}});
        QCOMPARE(excluded(paths, {1, 1, 0, 0}),
                 QStringList({"[[-]] [[-]] c:\\temporary\\x.tmp", "[[-]] [[-]] c:\\temp\\y.tmp",
                              "[[-]] c:\\data\\z.tmp", "[[-]] d:\\w.tmp"}));

        // A folder written with the marker in front matches only marked
        // rows, as the list shows them.
        writeAll({{"ExDirs", "Items", "1"}, {"ExDirs", "Dir0", "[[-]] C:\\TEMP"}, {"ExDirs", "State0", "1"}});
        QCOMPARE(excluded(paths, {1, 0, 0, 0}),
                 QStringList({"[[-]] [[-]] c:\\temporary\\x.tmp", "c:\\temp\\y.tmp", "c:\\data\\z.tmp",
                              "d:\\w.tmp"}));

        writeAll({{"ExDirs", "Items", "x"}});
        QCOMPARE(excluded({"c:\\a"}), QStringList({"c:\\a"}));
    }

    void aStrayLegacyByteDoesNotUnprotectAFolder()
    {
        // One windows-1251 comment must not turn the UTF-8 folder into
        // mojibake, or its files would no longer be protected.
        box.makeFile("bin/varnel.ini",
                     "; \xcd\xe5 \xf3\xe4\xe0\xeb\xff\xf2\xfc\r\n[ExDirs]\r\nItems=1\r\nDir0="
                         + QStringLiteral("c:\\Документы").toUtf8() + "\r\nState0=1\r\n");
        QCOMPARE(excluded({QStringLiteral("c:\\документы\\a.tmp"), "c:\\other\\b.tmp"}), QStringList({QStringLiteral("[[-]] c:\\документы\\a.tmp"), "c:\\other\\b.tmp"}));
    }

    void hugeListCountsAreCapped()
    {
        // Each would otherwise keep a search busy for hours.
        writeAll({{"ExDirs", "Items", "2000000000"},
                  {"ExDirs", "Dir0", "c:\\keep"},
                  {"ExDirs", "State0", "1"},
                  {"ExDirs", "Dir10000", "c:\\beyond"},
                  {"ExDirs", "State10000", "1"},
                  {"CFilters", "Items", "2000000000"},
                  {"CFilters", "Filter9999", "*.last"},
                  {"CFilters", "StateFilter9999", "1"},
                  {"CFilters", "Filter10000", "*.beyond"},
                  {"CFilters", "StateFilter10000", "1"}});
        QCOMPARE(excluded({"c:\\keep\\a.tmp", "c:\\beyond\\b.tmp"}), QStringList({"[[-]] c:\\keep\\a.tmp", "c:\\beyond\\b.tmp"}));
        QStringList masks;
        LoadCustomFilters(masks);
        QCOMPARE(masks, QStringList({"*.last"}));
    }

    // Every entry is one row however many ways the search meets it: two
    // masks that match one name, a file in the temporary folder (the drive's
    // masks and the folder's own entry), a second name of one file, a drive
    // that lies inside another; and two different files stay two rows.
    void eachEntryIsListedOnceHoweverItIsMet()
    {
        box.makeFile("c/tmp/one.tmp");
        box.makeFile("c/tmp/other.tmp");
        box.makeFile("c/a/abc.tmp");
        box.makeFile("c/a/plain.bak");
        QCOMPARE(::link(box.path("c/a/plain.bak").constData(), box.path("c/a/second.bak").constData()), 0);
        writeAll({{"Search", "CustomFiles", "Yes"},
                  {"CFilters", "Items", "1"},
                  {"CFilters", "Filter0", "abc.*"},
                  {"CFilters", "StateFilter0", "1"}});
        const QByteArray tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", box.path("c/tmp"));
        const auto listed = [](const QStringList& drives) {
            QStringList paths;
            core::CallbackSink sink;
            sink.onFound = [&paths](const core::Finding& found) { paths << found.path.toLower(); };
            JunkSearchJob().scan(core::Context::current(), sink, PlanSearchOn(drives));
            paths.sort();
            return paths;
        };
        const QStringList once{"c:\\a\\abc.tmp", "c:\\a\\plain.bak", "c:\\tmp\\one.tmp", "c:\\tmp\\other.tmp"};
        const QStringList found = listed({"c:"});
        QCOMPARE(found.size(), once.size());
        QVERIFY(found.contains("c:\\a\\abc.tmp") && found.contains("c:\\tmp\\one.tmp"));
        QVERIFY(found.contains("c:\\a\\plain.bak") != found.contains("c:\\a\\second.bak")); // one name of the two

        box.setDrives({{'c', "c"}, {'d', "c/a"}});
        QCOMPARE(listed({"c:", "d:"}).size(), once.size()); // d:'s files are c:'s
        box.setDrives({{'c', "c"}});
        qputenv("TMPDIR", tmp);
    }

    void deletionFollowsTheRecycleSwitchPerFile()
    {
        box.makeFile("c/del/one.tmp");
        box.makeFile("c/del/two.tmp");
        QVERIFY(DeleteFoundFile("c:\\del\\one.tmp"));
        QVERIFY(box.exists("home/data/Trash/files/one.tmp"));
        WriteSetting("Delete", "Recycle", "yes");
        QVERIFY(DeleteFoundFile("c:\\del\\two.tmp"));
        QVERIFY(!box.exists("c/del/two.tmp"));
        QVERIFY(!box.exists("home/data/Trash/files/two.tmp"));
        QVERIFY(!DeleteFoundFile("c:\\del\\two.tmp"));
    }
};

QTEST_GUILESS_MAIN(TestJunkSearch)
#include "tst_junksearch.moc"
