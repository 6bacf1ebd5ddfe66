// The settings file beside the program, grouped by behaviour: single keys
// (defaults, writes, failures), the numbered lists, and interrupted saves.

#include "platform/TestSeams.h"
#include "platform/AtomicFile.h"
#include "settings/Settings.h"
#include "settings/SettingsList.h"
#include "settings/SettingsTransaction.h"
#include "support/Sandbox.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The sandbox of the group that runs.
Sandbox* box = nullptr;

QByteArray file()
{
    return box->read("bin/varnel.ini");
}

// Removes the settings file and what killed saves left beside it.
void removeFile()
{
    QFile::remove(box->pathText("bin/varnel.ini"));
    for (const QString& name : QDir(box->pathText("bin")).entryList({"varnel.ini.*"}, QDir::AllEntries | QDir::System))
        QFile::remove(box->pathText("bin/" + name.toUtf8()));
}

// Runs step in a child process that dies (as by kill -9) the moment a new
// settings file is about to replace the old one; returns whether it died there.
bool diesBeforeReplacing(const std::function<void()>& step)
{
    const pid_t child = ::fork();
    if (child == 0) {
        platform::testseams::setBeforeReplaceHook([] { ::kill(::getpid(), SIGKILL); });
        step();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

QStringList binEntries()
{
    return QDir(box->pathText("bin")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
}

} // namespace

// ---------------------------------------------------------------------------
class TestSingleKeys : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { removeFile(); }

    void missingFileGivesDefaultsAndIsNotCreated()
    {
        QCOMPARE(ReadSetting("Search", "Disk", "All"), QStringLiteral("All"));
        QCOMPARE(ReadSetting("Window", "Top", "10"), QStringLiteral("10"));
        QCOMPARE(ReadSetting("Search", "Disk", "All   "), QStringLiteral("All")); // trailing blanks go
        QVERIFY(ClearSettingsSection("CFilters"));
        QVERIFY(!box->exists("bin/varnel.ini"));
        QVERIFY(SettingsFileName().endsWith(u"\\bin\\varnel.ini"));
    }

    void switchesAreOnOnlyForExactYes()
    {
        QVERIFY(ReadSwitch(SettingKeys::TempFiles) && !ReadSwitch(SettingKeys::OLDFiles)); // the defaults
        WriteSetting("Search", "TempFiles", "yes");
        WriteSetting("Search", "BAKFiles", "1");
        WriteSetting("search", "oldfiles", "Yes");
        QVERIFY(!ReadSwitch(SettingKeys::TempFiles));
        QVERIFY(!ReadSwitch(SettingKeys::BAKFiles));
        QVERIFY(ReadSwitch(SettingKeys::OLDFiles));
        QVERIFY(IsStateOn("1") && !IsStateOn("01") && !IsStateOn("Yes"));
        SettingsTransaction t;
        t.writeSwitch(SettingKeys::BAKFiles, true);
        t.writeSwitch(SettingKeys::OLDFiles, false);
        QVERIFY(t.commit());
        QCOMPARE(ReadSetting("Search", "BAKFiles", ""), QStringLiteral("Yes"));
        QCOMPARE(ReadSetting("Search", "OLDFiles", ""), QStringLiteral("No"));
    }

    void numbersAreReadByOneRule()
    {
        QCOMPARE(ReadNumber(SettingKeys::WindowWidth), std::optional<int>(600)); // the default
        WriteSetting("Window", "Top", "$1F");
        WriteSetting("Window", "Left", "  -7");
        WriteSetting("Window", "Height", "12x");
        WriteSetting("Window", "Width", "");
        QCOMPARE(ReadNumber(SettingKeys::WindowTop), std::optional<int>(31));
        QCOMPARE(ReadNumber(SettingKeys::WindowLeft), std::optional<int>(-7));
        QCOMPARE(ReadNumber(SettingKeys::WindowHeight), std::nullopt);
        QCOMPARE(ReadNumber(SettingKeys::WindowWidth), std::nullopt);
        QVERIFY(WriteNumber(SettingKeys::FirstColumn, -3));
        QCOMPARE(ReadSetting("Window", "FColumn", ""), QStringLiteral("-3"));
    }

    void aNewFileIsBuiltInOrderWithCrLf()
    {
        QVERIFY(WriteSetting("Search", "Disk", "All"));
        QVERIFY(WriteSetting("Search", "TempFolders", "Yes"));
        QVERIFY(WriteSetting("Delete", "Recycle", "No"));
        QVERIFY(WriteSetting("SEARCH", "AutoStart", "No"));
        QVERIFY(WriteSetting("Search", "disk", "0"));
        QCOMPARE(file(),
                 QByteArray("[Search]\r\nDisk=0\r\nTempFolders=Yes\r\nAutoStart=No\r\n[Delete]\r\nRecycle=No\r\n"));
    }

    void aHandWrittenFileKeepsItsLinesAndBytes()
    {
        // LF and CR line ends, a comment in the old code page, a UTF-8 folder.
        const QByteArray hand = "; \xcd\xe0\xf1\xf2\xf0\xee\xe9\xea\xe8\n[View]\rXPMenu=No\r\n[ExDirs]\nDir0="
            + QStringLiteral("c:\\Документы").toUtf8() + "\n";
        box->makeFile("bin/varnel.ini", hand);
        QCOMPARE(ReadSetting("ExDirs", "Dir0", ""), QStringLiteral("c:\\Документы"));
        QCOMPARE(ReadSetting("View", "XPMenu", ""), QStringLiteral("No"));
        QVERIFY(WriteSetting("View", "XPMenu", "Yes"));
        QVERIFY(WriteSetting("ExDirs", "State0", "1"));
        QCOMPARE(file(), QByteArray(hand).replace("XPMenu=No", "XPMenu=Yes") + "State0=1\n");
    }

    void listSectionsAreClearedAndRewritten()
    {
        WriteSetting("CFilters", "Items", "2");
        WriteSetting("CFilters", "Filter0", "*.log");
        WriteSetting("View", "XPMenu", "Yes");
        QVERIFY(ClearSettingsSection("CFilters"));
        QVERIFY(WriteSetting("CFilters", "Items", "0"));
        QCOMPARE(file(), QByteArray("[View]\r\nXPMenu=Yes\r\n[CFilters]\r\nItems=0\r\n"));
        QCOMPARE(ReadSetting("CFilters", "Filter0", ""), QString());
    }

    void aHandEditedFileReadsAndClearsAsOnWindows()
    {
        box->makeFile("bin/varnel.ini",
                      "[Search   \r;AutoStart=Yes\rAutoStart=No\r[CFilters]\r; my masks\rItems=1\r"
                      "Filter0=*.log\r[View]\rXPMenu=No\r");
        QCOMPARE(ReadSetting("Search", "AutoStart", "x"), QStringLiteral("No"));
        QCOMPARE(ReadSetting("\tSearch", "AutoStart", "x"), QStringLiteral("x"));
        QCOMPARE(ReadSetting("Search", ";AutoStart", "x"), QStringLiteral("x"));
        QVERIFY(ClearSettingsSection("CFilters"));
        QCOMPARE(file(), QByteArray("[Search   \r;AutoStart=Yes\rAutoStart=No\r; my masks\r[View]\rXPMenu=No\r"));
        QVERIFY(WriteSetting("\tTabbed\t", "k", "v"));
        QVERIFY(file().endsWith("XPMenu=No\r[\tTabbed\t]\rk=v\r"));
    }

    void longValuesAreCut()
    {
        const QString longValue(5000, u'ж');
        QVERIFY(WriteSetting("ExDirs", "Dir0", longValue));
        QCOMPARE(ReadSetting("ExDirs", "Dir0", ""), QString(2047, u'ж'));
        QCOMPARE(ReadSetting("ExDirs", "Dir1", QString(3000, u'x')).size(), 2047);
    }

    void aChangeByAnotherHandIsSeenAtOnce()
    {
        // Parses are reused only while the file holds the very same bytes.
        box->makeFile("bin/varnel.ini", "[View]\r\nXPMenu=No\r\n");
        QCOMPARE(ReadSetting("View", "XPMenu", ""), QStringLiteral("No"));
        box->makeFile("bin/varnel.ini", "[View]\r\nXPMenu=Ok\r\n"); // same size, same second
        QCOMPARE(ReadSetting("View", "XPMenu", ""), QStringLiteral("Ok"));
    }

    void failedWritesChangeNothing()
    {
        WriteSetting("View", "XPMenu", "Yes");
        ::chmod(box->path("bin").constData(), 0555);
        ::chmod(box->path("bin/varnel.ini").constData(), 0444);
        // A program folder the user may not write keeps its settings in the
        // user's configuration folder: here one that cannot be written either.
        box->makeFile("xdg/varnel/varnel.ini", "[View]\r\nXPMenu=Yes\r\n");
        ::chmod(box->path("xdg/varnel/varnel.ini").constData(), 0444);
        ::chmod(box->path("xdg/varnel").constData(), 0555);
        const QByteArray xdg = box->path("xdg");
        const bool refused = box->asUnprivileged([xdg] {
            qputenv("XDG_CONFIG_HOME", xdg);
            SettingsTransaction t;
            t.write("View", "XPMenu", "No");
            return !WriteSetting("View", "XPMenu", "No") && !ClearSettingsSection("View") && !t.commit()
                && ReadSetting("View", "XPMenu", "") == u"Yes";
        });
        ::chmod(box->path("bin").constData(), 0755);
        QVERIFY(refused);
        QCOMPARE(file(), QByteArray("[View]\r\nXPMenu=Yes\r\n"));

        // A settings "file" that is a folder is left alone and reads as missing.
        removeFile();
        box->makeDir("bin/varnel.ini");
        QVERIFY(!WriteSetting("View", "XPMenu", "No"));
        QCOMPARE(ReadSetting("View", "XPMenu", "dflt"), QStringLiteral("dflt"));
        QDir(box->pathText("bin/varnel.ini")).removeRecursively();
    }

    // A failed write is told once, whichever kind of write fails first and
    // however many fail after it; installing the handler arms it again.
    void aFailedWriteIsToldOnce()
    {
        QStringList told;
        const auto tell = [&](const QString& file) { told << file; };
        const std::function<bool()> writes[] = {
            [] { return WriteSetting("View", "XPMenu", "No"); },
            [] { return ClearSettingsSection("View"); },
            [] {
                SettingsTransaction t;
                t.write("View", "XPMenu", "No");
                return t.commit();
            },
        };
        removeFile();
        box->makeDir("bin/varnel.ini"); // a folder: the file cannot be replaced
        for (size_t first = 0; first < std::size(writes); ++first) {
            told.clear();
            SetSettingsWriteFailureHandler(tell);
            for (size_t i = 0; i < std::size(writes); ++i)
                QVERIFY(!writes[(first + i) % std::size(writes)]());
            QCOMPARE(told, QStringList({SettingsFileName()}));
        }
        QDir(box->pathText("bin/varnel.ini")).removeRecursively();
        told.clear();
        SetSettingsWriteFailureHandler(tell);
        for (const auto& write : writes)
            QVERIFY(write());
        QVERIFY(told.isEmpty()); // writes that succeed tell nothing
        SetSettingsWriteFailureHandler({});
        removeFile();
        box->makeDir("bin/varnel.ini");
        QVERIFY(!WriteSetting("View", "XPMenu", "No")); // and without a handler, nothing is told
        QVERIFY(told.isEmpty());
        QDir(box->pathText("bin/varnel.ini")).removeRecursively();
    }

    void aLinkedSettingsFileStaysLinked()
    {
        box->makeFile("home/real.ini", "[View]\nXPMenu=Yes\n");
        QVERIFY(QFile::link(box->pathText("home/real.ini"), box->pathText("bin/varnel.ini")));
        QVERIFY(WriteSetting("View", "XPMenu", "No"));
        QVERIFY(QFileInfo(box->pathText("bin/varnel.ini")).isSymLink());
        QCOMPARE(box->read("home/real.ini"), QByteArray("[View]\nXPMenu=No\n"));

        // A link someone else made could point anywhere the user may write:
        // never written through, and the failure is told.
        if (::geteuid() == 0) {
            QVERIFY(::lchown(box->path("bin/varnel.ini").constData(), 65534, 65534) == 0);
            QStringList told;
            SetSettingsWriteFailureHandler([&](const QString& f) { told << f; });
            QVERIFY(!WriteSetting("View", "XPMenu", "Yes"));
            SetSettingsWriteFailureHandler({});
            QCOMPARE(told, QStringList{SettingsFileName()});
            QCOMPARE(box->read("home/real.ini"), QByteArray("[View]\nXPMenu=No\n"));
        }
        removeFile();

        // A program folder others may write is no place for the settings:
        // they go to the user's configuration folder instead.
        ::chmod(box->path("bin").constData(), 0775);
        qputenv("XDG_CONFIG_HOME", box->path("xdg-shared"));
        QVERIFY(WriteSetting("View", "XPMenu", "No"));
        ::chmod(box->path("bin").constData(), 0755);
        QVERIFY(!box->exists("bin/varnel.ini"));
        QCOMPARE(box->read("xdg-shared/varnel/varnel.ini"), QByteArray("[View]\r\nXPMenu=No\r\n"));
        qunsetenv("XDG_CONFIG_HOME");
    }

    // The key table: each key once, its default read from a missing file,
    // and what is written under it read back through it.
    void everyKeyOfTheTableIsOneKeyWithItsDefault()
    {
        QSet<QString> seen;
        for (const SettingKey& k : SettingKeys::All) {
            const QString name = QString::fromLatin1(k.section).toLower() + u'/' + QString::fromLatin1(k.key).toLower();
            QVERIFY2(!seen.contains(name), qPrintable(name));
            seen.insert(name);
            QCOMPARE(ReadSetting(k), QString::fromLatin1(k.def));
            QCOMPARE(ReadSetting(k), ReadSetting(QLatin1String(k.section), QLatin1String(k.key), QLatin1String(k.def)));
        }
        QVERIFY(!box->exists("bin/varnel.ini"));
        for (const SettingKey& k : SettingKeys::All)
            QVERIFY(WriteSetting(k, QStringLiteral("v-") + QLatin1String(k.key)));
        for (const SettingKey& k : SettingKeys::All)
            QCOMPARE(ReadSetting(QLatin1String(k.section), QLatin1String(k.key), QString()),
                     QStringLiteral("v-") + QLatin1String(k.key));
        SettingsTransaction t;
        t.write(SettingKeys::Disk, QStringLiteral("3"));
        QVERIFY(t.commit());
        QCOMPARE(ReadSetting(SettingKeys::Disk), QStringLiteral("3"));
        QCOMPARE(SettingsListCap, SettingKeys::ListCap);
    }
};

// ---------------------------------------------------------------------------
class TestLists : public QObject {
    Q_OBJECT

    static QStringList shown(const QList<SettingsListEntry>& entries)
    {
        QStringList out;
        for (const SettingsListEntry& e : entries)
            out << e.text + (e.checked ? "+" : "-");
        return out;
    }

private Q_SLOTS:
    void init() { removeFile(); }

    void aListReadsItsEntriesWithDefaults()
    {
        QVERIFY(ReadSettingsList(SettingsList::Filters).isEmpty()); // no file
        box->makeFile("bin/varnel.ini",
                      "[CFilters]\r\nItems=3\r\nFilter0=*.log\r\nStateFilter0=1\r\n"
                      "StateFilter1=1\r\nFilter2=*.x\r\nStateFilter2=Yes\r\n"
                      "[ExDirs]\r\nItems= 2\r\nDir0=c:\\keep\r\nState0=1\r\nDir1=d:\\\r\nState1=0\r\n");
        QCOMPARE(shown(ReadSettingsList(SettingsList::Filters)), QStringList({"*.log+", "+", "*.x-"}));
        QCOMPARE(shown(ReadSettingsList(SettingsList::ExcludedDirs)), QStringList({"c:\\keep+", "d:\\-"}));
    }

    void aCountThatIsNoNumberOrNotPositiveReadsNothing()
    {
        for (const char* count : {"many", "", "-3", "0", "2x", "99999999999"}) {
            box->makeFile("bin/varnel.ini",
                          QByteArray("[ExDirs]\r\nItems=") + count + "\r\nDir0=c:\\a\r\nState0=1\r\n");
            QVERIFY2(ReadSettingsList(SettingsList::ExcludedDirs).isEmpty(), count);
        }
        box->makeFile("bin/varnel.ini", "[ExDirs]\r\nItems=$1\r\nDir0=c:\\a\r\nState0=1\r\n"); // hexadecimal counts
        QCOMPARE(ReadSettingsList(SettingsList::ExcludedDirs).size(), 1);
    }

    void aHugeCountIsCapped()
    {
        // Without the cap this reading would take hours.
        box->makeFile("bin/varnel.ini",
                      "[CFilters]\r\nItems=2000000000\r\nFilter0=*.a\r\nStateFilter0=1\r\n"
                      "Filter9999=*.last\r\nFilter10000=*.beyond\r\n");
        const QList<SettingsListEntry> filters = ReadSettingsList(SettingsList::Filters);
        QCOMPARE(filters.size(), SettingsListCap);
        QCOMPARE(filters.first().text, QStringLiteral("*.a"));
        QCOMPARE(filters.last().text, QStringLiteral("*.last"));
    }

    void aListIsSavedAsTheLayoutSays()
    {
        WriteSetting("View", "XPMenu", "Yes");
        WriteSetting("ExDirs", "Items", "9");
        WriteSetting("ExDirs", "Dir8", "stale");
        SettingsTransaction t;
        WriteSettingsList(t, SettingsList::ExcludedDirs, {{"c:\\a", true}, {"d:\\b", false}});
        WriteSettingsList(t, SettingsList::Filters, {});
        QVERIFY(t.commit());
        QCOMPARE(file(),
                 QByteArray("[View]\r\nXPMenu=Yes\r\n[ExDirs]\r\nItems=2\r\nDir0=c:\\a\r\nState0=1\r\n"
                            "Dir1=d:\\b\r\nState1=0\r\n[CFilters]\r\nItems=0\r\n"));
    }

    void tenThousandEntriesGoAndComeBack()
    {
        QList<SettingsListEntry> entries;
        for (int n = 0; n < SettingsListCap; ++n)
            entries.append({QStringLiteral("c:\\Папка\\%1").arg(n), n % 3 == 0});
        SettingsTransaction t;
        WriteSettingsList(t, SettingsList::ExcludedDirs, entries);
        QVERIFY(t.commit());
        const QList<SettingsListEntry> back = ReadSettingsList(SettingsList::ExcludedDirs);
        QCOMPARE(back.size(), entries.size());
        for (int n : {0, 1, 4999, 9999}) {
            QCOMPARE(back[n].text, entries[n].text);
            QCOMPARE(back[n].checked, entries[n].checked);
        }
    }
};

// ---------------------------------------------------------------------------
class TestInterruptions : public QObject {
    Q_OBJECT

    static int replacements;

private Q_SLOTS:
    void init()
    {
        removeFile();
        replacements = 0;
    }

    void cleanup() { platform::testseams::setBeforeReplaceHook(nullptr); }

    void aCrashMidWriteLeavesTheOldFile()
    {
        WriteSetting("Window", "Top", "10");
        const QByteArray before = file();
        QVERIFY(diesBeforeReplacing([] { WriteSetting("Window", "Top", QString(100000, u'9')); }));
        QCOMPARE(file(), before);
        QCOMPARE(ReadSetting("Window", "Top", ""), QStringLiteral("10"));
        QVERIFY(WriteSetting("Window", "Top", "20")); // the next write is unhindered
        QCOMPARE(ReadSetting("Window", "Top", ""), QStringLiteral("20"));
    }

    void aTransactionReplacesTheFileOnce()
    {
        platform::testseams::setBeforeReplaceHook([] { ++replacements; });
        SettingsTransaction t;
        t.write("Search", "Disk", "All");
        t.clearSection("ExDirs");
        QList<SettingsListEntry> many;
        for (int n = 0; n < 300; ++n)
            many.append({"c:\\d" + QString::number(n), true});
        WriteSettingsList(t, SettingsList::ExcludedDirs, many);
        QVERIFY(t.commit());
        QCOMPARE(replacements, 1);
        QCOMPARE(ReadSettingsList(SettingsList::ExcludedDirs).size(), 300);
        QVERIFY(SettingsTransaction().commit()); // nothing queued: nothing written
        QCOMPARE(replacements, 1);
        SettingsTransaction same; // cleared and written back as it was
        same.write("Search", "Disk", "All");
        WriteSettingsList(same, SettingsList::ExcludedDirs, many);
        QVERIFY(same.commit());
        QCOMPARE(replacements, 1);
    }

    void aKilledSaveLeavesTheWholeOldListAndNoLeftover()
    {
        SettingsTransaction first;
        WriteSettingsList(first, SettingsList::ExcludedDirs, {{"c:\\old", true}});
        QVERIFY(first.commit());
        const QByteArray before = file();
        QVERIFY(diesBeforeReplacing([] {
            SettingsTransaction t;
            QList<SettingsListEntry> many;
            for (int n = 0; n < 300; ++n)
                many.append({"c:\\new" + QString::number(n), true});
            WriteSettingsList(t, SettingsList::ExcludedDirs, many);
            t.commit();
        }));
        QCOMPARE(file(), before);
        QCOMPARE(ReadSettingsList(SettingsList::ExcludedDirs).size(), 1);

        // The killed save left its new file; the next start takes it away
        // once it is old enough to belong to no running save.
        QStringList leftovers = binEntries().filter(QRegularExpression("^varnel\\.ini\\.\\w{6}\\.new$"));
        QCOMPARE(leftovers.size(), 1);
        QCOMPARE(RemoveStaleSettingsFiles(), 0); // too fresh
        const QByteArray leftover = box->path("bin/" + leftovers.first().toUtf8());
        const struct timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, leftover.constData(), old, AT_SYMLINK_NOFOLLOW), 0);
        QCOMPARE(RemoveStaleSettingsFiles(), 1);
        QCOMPARE(binEntries().filter("varnel.ini"), QStringList({"varnel.ini"}));
    }

    void onlyOurOwnStaleFilesAreRemoved()
    {
        WriteSetting("View", "XPMenu", "Yes");
        const auto age = [](const QByteArray& rel) {
            const struct timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
            ::utimensat(AT_FDCWD, box->path(rel).constData(), old, AT_SYMLINK_NOFOLLOW);
        };
        const QList<QByteArray> kept{"bin/varnel.ini.backup",     "bin/varnel.ini.AbC123",
                                     "bin/varnel.ini.Ab-123.new", "bin/varnel.ini.AbC1234.new",
                                     "bin/other.ini.AbC123.new",  "bin/varnel.ini.hard01.new",
                                     "bin/varnel.ini.Link01.new", "bin/varnel.ini.Fold01.new"};
        for (const QByteArray& rel : kept.mid(0, 6))
            box->makeFile(rel);
        QVERIFY(QFile::link(box->pathText("bin/varnel.ini.backup"), box->pathText("bin/varnel.ini.Link01.new")));
        box->makeDir("bin/varnel.ini.Fold01.new");
        QCOMPARE(::link(box->path("bin/varnel.ini.hard01.new").constData(), box->path("home/second").constData()), 0);
        box->makeFile("bin/varnel.ini.Zx9kQ2.new");
        for (const QByteArray& rel : kept + QList<QByteArray>{"bin/varnel.ini.Zx9kQ2.new"})
            age(rel);
        QCOMPARE(RemoveStaleSettingsFiles(), 1);
        QVERIFY(!box->exists("bin/varnel.ini.Zx9kQ2.new"));
        for (const QByteArray& rel : kept)
            QVERIFY2(box->exists(rel), rel.constData());
        QCOMPARE(file(), QByteArray("[View]\r\nXPMenu=Yes\r\n"));

        if (::geteuid() == 0) { // another user's file of that name is not ours
            box->makeFile("bin/varnel.ini.Nb0dy1.new");
            QCOMPARE(::chown(box->path("bin/varnel.ini.Nb0dy1.new").constData(), 65534, 65534), 0);
            age("bin/varnel.ini.Nb0dy1.new");
            QCOMPARE(RemoveStaleSettingsFiles(), 0);
        }
    }

    void staleFilesBesideALinksTargetAreFound()
    {
        box->makeFile("home/real.ini", "[View]\r\nXPMenu=Yes\r\n");
        QVERIFY(QFile::link(box->pathText("home/real.ini"), box->pathText("bin/varnel.ini")));
        box->makeFile("home/real.ini.Qw3rTy.new");
        const struct timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        ::utimensat(AT_FDCWD, box->path("home/real.ini.Qw3rTy.new").constData(), old, 0);
        QCOMPARE(RemoveStaleSettingsFiles(), 1);
        QVERIFY(box->exists("home/real.ini"));
    }
};

int TestInterruptions::replacements = 0;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Each group in a sandbox of its own: nothing one leaves behind reaches
    // the next.
    const auto run = [&](QObject&& group) {
        Sandbox sandbox;
        box = &sandbox;
        const int failed = QTest::qExec(&group, argc, argv);
        box = nullptr;
        return failed;
    };
    return run(TestSingleKeys()) + run(TestLists()) + run(TestInterruptions());
}

#include "tst_settings.moc"
