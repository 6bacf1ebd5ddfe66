// The settings file beside the program: defaults, writes, section removal,
// failures and interrupted writes.

#include "platform/AtomicFile.h"
#include "settings/Settings.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestSettings : public QObject {
    Q_OBJECT
    Sandbox box;

    QByteArray file() const { return box.read("bin/varnel.ini"); }

private Q_SLOTS:
    void init() { QFile::remove(box.pathText("bin/varnel.ini")); }

    void missingFileGivesDefaultsAndIsNotCreated()
    {
        QCOMPARE(ReadSetting("Search", "Disk", "All"), QStringLiteral("All"));
        QCOMPARE(ReadSetting("Window", "Top", "10"), QStringLiteral("10"));
        QVERIFY(ClearSettingsSection("CFilters"));
        QVERIFY(!box.exists("bin/varnel.ini"));
        QVERIFY(SettingsFileName().endsWith(u"\\bin\\varnel.ini"));
    }

    void switchesAreOnOnlyForExactYes()
    {
        WriteSetting("Search", "TempFiles", "yes");
        WriteSetting("Search", "BAKFiles", "1");
        WriteSetting("Search", "OLDFiles", "Yes");
        QVERIFY(!IsSwitchOn(ReadSetting("Search", "TempFiles", "Yes")));
        QVERIFY(!IsSwitchOn(ReadSetting("Search", "BAKFiles", "Yes")));
        QVERIFY(IsSwitchOn(ReadSetting("search", "oldfiles", "No")));
        QVERIFY(IsStateOn("1") && !IsStateOn("01") && !IsStateOn("Yes"));
    }

    void writesBuildTheFileInOrder()
    {
        QVERIFY(WriteSetting("Search", "Disk", "All"));
        QVERIFY(WriteSetting("Search", "TempFolders", "Yes"));
        QVERIFY(WriteSetting("Delete", "Recycle", "No"));
        QVERIFY(WriteSetting("SEARCH", "AutoStart", "No"));
        QVERIFY(WriteSetting("Search", "disk", "0"));
        QCOMPARE(file(), QByteArray("[Search]\nDisk=0\nTempFolders=Yes\nAutoStart=No\n[Delete]\nRecycle=No\n"));
    }

    void listSectionsAreClearedAndRewritten()
    {
        WriteSetting("CFilters", "Items", "2");
        WriteSetting("CFilters", "Filter0", "*.log");
        WriteSetting("View", "XPMenu", "Yes");
        QVERIFY(ClearSettingsSection("CFilters"));
        QVERIFY(WriteSetting("CFilters", "Items", "0"));
        QCOMPARE(file(), QByteArray("[View]\nXPMenu=Yes\n[CFilters]\nItems=0\n"));
        QCOMPARE(ReadSetting("CFilters", "Filter0", ""), QString());
    }

    void longValuesAreCut()
    {
        const QString longValue(5000, u'ж');
        QVERIFY(WriteSetting("ExDirs", "Dir0", longValue));
        QCOMPARE(ReadSetting("ExDirs", "Dir0", ""), QString(2047, u'ж'));
        QCOMPARE(ReadSetting("ExDirs", "Dir1", QString(3000, u'x')).size(), 2047);
    }

    void failedWritesChangeNothing()
    {
        WriteSetting("View", "XPMenu", "Yes");
        ::chmod(box.path("bin").constData(), 0555);
        ::chmod(box.path("bin/varnel.ini").constData(), 0444);
        const bool refused = box.asUnprivileged([] {
            return !WriteSetting("View", "XPMenu", "No") && !ClearSettingsSection("View")
                && ReadSetting("View", "XPMenu", "") == u"Yes";
        });
        ::chmod(box.path("bin").constData(), 0755);
        QVERIFY(refused);
        QCOMPARE(file(), QByteArray("[View]\nXPMenu=Yes\n"));

        // A settings "file" that is a folder is left alone and reads as missing.
        QFile::remove(box.pathText("bin/varnel.ini"));
        box.makeDir("bin/varnel.ini");
        QVERIFY(!WriteSetting("View", "XPMenu", "No"));
        QCOMPARE(ReadSetting("View", "XPMenu", "dflt"), QStringLiteral("dflt"));
        QDir(box.pathText("bin/varnel.ini")).removeRecursively();
    }

    void aLinkedSettingsFileStaysLinked()
    {
        box.makeFile("home/real.ini", "[View]\nXPMenu=Yes\n");
        QVERIFY(QFile::link(box.pathText("home/real.ini"), box.pathText("bin/varnel.ini")));
        QVERIFY(WriteSetting("View", "XPMenu", "No"));
        QVERIFY(QFileInfo(box.pathText("bin/varnel.ini")).isSymLink());
        QCOMPARE(box.read("home/real.ini"), QByteArray("[View]\nXPMenu=No\n"));
    }

    void aCrashMidWriteLeavesTheOldFile()
    {
        WriteSetting("Window", "Top", "10");
        const QByteArray before = file();
        const pid_t child = ::fork();
        if (child == 0) {
            // Die after the new contents are on disk but before they replace the file.
            platform::AtomicFile::setBeforeReplaceHook([] { ::_exit(3); });
            WriteSetting("Window", "Top", QString(100000, u'9'));
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 3);
        QCOMPARE(file(), before);
        QCOMPARE(ReadSetting("Window", "Top", ""), QStringLiteral("10"));
        QVERIFY(WriteSetting("Window", "Top", "20")); // the next write is unhindered
        QCOMPARE(ReadSetting("Window", "Top", ""), QStringLiteral("20"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
