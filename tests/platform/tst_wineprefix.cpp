// Working inside a Wine prefix: drives from dosdevices, the Windows and
// temporary folders, the ANSI code page and shortcuts read with it.

#include "core/Context.h"
#include "platform/CodePage.h"
#include "platform/DriveTable.h"
#include "core/FolderCheck.h"
#include "platform/KnownFolders.h"
#include "platform/PathMapper.h"
#include "platform/PrefixEnvironment.h"
#include "platform/RegistryKey.h"
#include "platform/ShellLinkReader.h"
#include "platform/WinePrefix.h"
#include "scan/JunkSearch.h"
#include "settings/Settings.h"
#include "support/LnkWriter.h"
#include "support/Sandbox.h"

#include <QtEndian>
#include <QtTest>

#include <unistd.h>

using namespace platform;

namespace {

// The most virtual memory the process has held so far, in KiB (Linux).
qint64 peakVirtualKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void put32(QByteArray& bytes, qsizetype at, quint32 v)
{
    qToLittleEndian(v, bytes.data() + at);
}

} // namespace

class TestWinePrefix : public QObject {
    Q_OBJECT
    Sandbox box;

    void makePrefix(const QByteArray& acp = "1251")
    {
        box.makeDir("prefix/drive_c/windows/temp");
        box.makeDir("prefix/drive_c/users/tester/AppData/Local/Temp");
        box.makeDir("prefix/dosdevices");
        box.makeDir("elsewhere");
        ::symlink("../drive_c", box.path("prefix/dosdevices/c:").constData());
        ::symlink("/", box.path("prefix/dosdevices/z:").constData());
        ::symlink(box.path("elsewhere").constData(), box.path("prefix/dosdevices/d:").constData());
        ::symlink("/dev/null", box.path("prefix/dosdevices/com1").constData());
        box.makeFile("prefix/system.reg",
                     "WINE REGISTRY Version 2\n\n[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage] 1\n"
                     "\"ACP\"=\""
                         + acp
                         + "\"\n\n"
                           "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1\n"
                           "\"TMP\"=str(2):\"%SystemRoot%\\\\TEMP\"\n");
        box.makeFile("prefix/user.reg",
                     "WINE REGISTRY Version 2\n\n[Environment] 1\n"
                     "\"TEMP\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Local\\\\Temp\"\n");
        box.makeFile("prefix/userdef.reg", "WINE REGISTRY Version 2\n\n");
        qunsetenv("VARNEL_DRIVES");
        qputenv("WINEPREFIX", box.path("prefix") + "/");
        qputenv("USER", "tester");
    }

private Q_SLOTS:
    void cleanup()
    {
        qunsetenv("WINEPREFIX");
        qunsetenv("VARNEL_CODEPAGE");
        box.setDrives({{'c', "c"}});
    }

    void withoutSystemRegNothingChanges()
    {
        box.makeDir("notaprefix/dosdevices");
        qputenv("WINEPREFIX", box.path("notaprefix"));
        QVERIFY(!WinePrefix::active());
        qputenv("WINEPREFIX", "relative/path");
        QVERIFY(!WinePrefix::active());
    }

    void drivesComeFromDosdevices()
    {
        makePrefix();
        QCOMPARE(WinePrefix::folder(), box.path("prefix"));
        const QList<FixedDrive> drives = DriveTable::fixedDrives();
        QCOMPARE(drives.size(), 2);
        QCOMPARE(drives[0].letter, QChar(u'c'));
        QCOMPARE(drives[0].hostRoot, box.path("prefix/drive_c"));
        QCOMPARE(drives[1].letter, QChar(u'd'));
        QVERIFY(!DriveTable::isFixed(u'z'));
        QCOMPARE(DriveTable::drive(u'z')->hostRoot, QByteArray("/"));
        QCOMPARE(PathMapper::toHost(QStringLiteral("C:\\WINDOWS\\temp")), box.path("prefix/drive_c/windows/temp"));
        QCOMPARE(PathMapper::toWindows(box.path("prefix/drive_c/windows")), QStringLiteral("c:\\windows"));
        QCOMPARE(PathMapper::toWindows("/usr/share"), QStringLiteral("z:\\usr\\share"));
        // VARNEL_DRIVES still overrides the prefix's table.
        box.setDrives({{'c', "c"}});
        QCOMPARE(DriveTable::fixedDrives().first().hostRoot, box.path("c"));
    }

    void foldersAreThePrefixOnes()
    {
        makePrefix();
        QCOMPARE(KnownFolders::windowsDir(), QStringLiteral("c:\\windows"));
        QCOMPARE(KnownFolders::tempDir(), QStringLiteral("C:\\users\\tester\\AppData\\Local\\Temp\\"));
        QCOMPARE(PathMapper::toHost(KnownFolders::tempDir()),
                 box.path("prefix/drive_c/users/tester/AppData/Local/Temp"));
        QCOMPARE(PrefixEnvironment::value(QStringLiteral("tmp")), QStringLiteral("C:\\windows\\TEMP"));
        // Without TEMP the Windows folder's temp serves.
        box.makeFile("prefix/user.reg", "WINE REGISTRY Version 2\n\n");
        QCOMPARE(KnownFolders::tempDir(), QStringLiteral("c:\\windows\\temp\\"));
    }

    // A run's prefix is the context a front end installs, never a variable
    // it sets: the platform follows the installed context whatever
    // WINEPREFIX says, and a folder that is no prefix makes no context.
    void aPrefixContextIsTheRunsWithoutTheVariable()
    {
        makePrefix();
        box.makeDir("notaprefix/dosdevices");
        const RunEnvironment before = RunEnvironment::current();
        struct Refused {
            QByteArray folder;
            const char* why;
        };
        for (const Refused& r : {Refused{box.path("notaprefix"), "holds no system.reg"},
                                 Refused{"relative/prefix", "is no absolute path"}, Refused{"", "is no absolute path"}}) {
            QString why;
            QVERIFY(!core::Context::forPrefix(r.folder, &why));
            QVERIFY2(why.contains(QLatin1String(r.why)), qPrintable(why));
        }
        qputenv("WINEPREFIX", box.path("notaprefix"));
        std::optional<core::Context> chosen = core::Context::forPrefix(box.path("prefix") + "//");
        QVERIFY(chosen && !chosen->installed());
        QCOMPARE(chosen->prefixFolder(), box.path("prefix"));
        QVERIFY(!WinePrefix::active()); // made, not yet the run's
        chosen->install();
        const core::Context run = core::Context::current();
        QVERIFY(run.installed() && chosen->installed());
        QCOMPARE(qgetenv("WINEPREFIX"), box.path("notaprefix"));
        QCOMPARE(WinePrefix::folder(), box.path("prefix"));
        QCOMPARE(run.registryFolder(), box.path("prefix"));
        QCOMPARE(run.drives().first().hostRoot, box.path("prefix/drive_c"));
        QCOMPARE(run.tempDir(), QStringLiteral("C:\\users\\tester\\AppData\\Local\\Temp\\"));
        // The process's own environment is read once, when the context is made.
        qputenv("WINEPREFIX", box.path("prefix"));
        const core::Context started = core::Context::fromProcess();
        qunsetenv("WINEPREFIX");
        QCOMPARE(started.prefixFolder(), box.path("prefix"));
        RunEnvironment::install(before);
        QVERIFY(!WinePrefix::active() && !run.installed() && !chosen->installed());
        QCOMPARE(RegistryKey::filesFolder(), box.path("registry"));
    }

    void theRegistryNamesATemporaryFolderButNeverWidensWhereOneIsEmptied()
    {
        makePrefix();
        box.makeFile("victim/keep.txt");
        box.makeDir("documents/tmp");
        QVERIFY(::symlink(box.path("documents").constData(),
                          box.path("prefix/drive_c/users/tester/Documents").constData())
                == 0);
        // A drive that holds the prefix reaches far beyond it: it maps, as
        // z: does, but is no drive to search or empty.
        QVERIFY(::symlink(box.path("").constData(), box.path("prefix/dosdevices/e:").constData()) == 0);
        DriveTable::reload();
        QVERIFY(!DriveTable::isFixed(u'e') && DriveTable::isFixed(u'd'));
        QString victim = QStringLiteral("Z:") + box.pathText("victim");
        victim.replace(u'/', u'\\');
        const struct {
            QString folder;
            bool emptiable;
        } cases[] = {
            {QStringLiteral("C:\\users\\tester\\AppData\\Local\\Temp\\"), true},
            {QStringLiteral("c:\\USERS\\TESTER\\appdata\\local\\temp"), true},
            {QStringLiteral("c:\\windows\\temp\\"), true},
            {QStringLiteral("C:\\users\\tester\\NotYetMade\\"), true},
            {QStringLiteral("D:\\Temp\\"), true},
            {victim + u'\\', false},                                        // the host, through z:
            {QStringLiteral("E:\\victim\\"), false},                       // the host, through a drive holding the prefix
            {QStringLiteral("C:\\users\\tester\\Documents\\tmp\\"), false}, // through a link
            {QStringLiteral("C:\\users\\tester\\..\\..\\..\\victim\\"), false},
            {QStringLiteral("C:\\"), false},
            {QStringLiteral("D:\\"), false},
            {QStringLiteral("C:\\windows\\"), false},
            {QStringLiteral("C:\\users\\tester\\"), false},
            {QStringLiteral("C:\\users\\"), false},
            {QStringLiteral("Temp\\"), false},
            {QString(), false},
        };
        for (const auto& c : cases)
            QVERIFY2(core::FolderCheck::temporaryEmptiable(c.folder) == c.emptiable, qPrintable(c.folder));

        // The search leaves a refused folder out and names it.
        box.makeFile("prefix/user.reg", "WINE REGISTRY Version 2\n\n[Environment] 1\n\"TEMP\"=\""
                                            + victim.toUtf8().replace("\\", "\\\\") + "\"\n");
        WriteSetting(QStringLiteral("Search"), QStringLiteral("TempFolders"), QStringLiteral("Yes"));
        QStringList refused;
        QCOMPARE(JunkSearch::TemporaryFolders(&refused), QStringList{QStringLiteral("c:\\windows\\Temp\\")});
        QCOMPARE(refused, QStringList{victim + u'\\'});
        QVERIFY(!JunkSearch::BuildWalkerFilter({}, {}).join(u'|').contains(QStringLiteral("victim"), Qt::CaseInsensitive));
    }

    void expansionLeavesUnknownNamesAlone()
    {
        const QHash<QString, QString> vars{{"A", "x"}, {"B", "%A%"}};
        QCOMPARE(PrefixEnvironment::expand(QStringLiteral("%a%\\%nope%\\%b%%"), vars),
                 QStringLiteral("x\\%nope%\\%A%%"));
        QCOMPARE(PrefixEnvironment::expand(QStringLiteral("100% sure %A"), vars), QStringLiteral("100% sure %A"));
    }

    void codePageComesFromVariablePrefixOrLocale()
    {
        QCOMPARE(CodePage::forLocale("ru_RU.UTF-8"), 1251);
        QCOMPARE(CodePage::forLocale("uk_UA"), 1251);
        QCOMPARE(CodePage::forLocale("mk_MK.UTF-8"), 1251);
        QCOMPARE(CodePage::forLocale("sr_RS@latin"), 1250);
        QCOMPARE(CodePage::forLocale("pl_PL.UTF-8"), 1250);
        QCOMPARE(CodePage::forLocale("el_GR"), 1253);
        QCOMPARE(CodePage::forLocale("zh_TW.UTF-8"), 950);
        QCOMPARE(CodePage::forLocale("zh_CN.UTF-8"), 936);
        QCOMPARE(CodePage::forLocale("de_DE.UTF-8"), 1252);
        QCOMPARE(CodePage::forLocale("C"), 1252);
        QCOMPARE(CodePage::forLocale(""), 1252);
        makePrefix("1253");
        QCOMPARE(CodePage::ansi(), 1253);
        qputenv("VARNEL_CODEPAGE", "1250");
        QCOMPARE(CodePage::ansi(), 1250);
        qputenv("VARNEL_CODEPAGE", "junk");
        QCOMPARE(CodePage::ansi(), 1253);
        qunsetenv("WINEPREFIX");
        qunsetenv("VARNEL_CODEPAGE");
        qputenv("LC_ALL", "bg_BG.UTF-8");
        QCOMPARE(CodePage::ansi(), 1251);
        qunsetenv("LC_ALL");
    }

    void shortcutsAreReadInTheAnsiCodePage()
    {
        makePrefix("1251");
        box.makeFile("prefix/drive_c/Программы/app.exe");
        LnkSpec spec;
        spec.localTarget = QStringLiteral("C:\\Программы\\app.exe");
        spec.localTargetAnsi = QByteArray("C:\\\xcf\xf0\xee\xe3\xf0\xe0\xec\xec\xfb\\app.exe"); // cp1251
        QVERIFY(LnkWriter::write(box.path("prefix/drive_c/cyr.lnk"), spec));
        std::optional<ShellLinkData> d = ShellLinkReader::read(QStringLiteral("c:\\cyr.lnk"));
        QVERIFY(d);
        QCOMPARE(d->target, spec.localTarget);
        qputenv("VARNEL_CODEPAGE", "1252");
        d = ShellLinkReader::read(QStringLiteral("c:\\cyr.lnk"));
        QVERIFY(d);
        QVERIFY(d->target != spec.localTarget);
    }

    void ansiStringsInDoubleByteCodePages_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QByteArray>("ansi");
        QTest::addColumn<QString>("expected");
        const QString bad(QChar::ReplacementCharacter);
        QTest::newRow("932") << 932 << QByteArray("C:\\\x93\xfa\x96\x7b\x8c\xea\\app.exe") << "C:\\日本語\\app.exe";
        QTest::newRow("932, a backslash as trail byte")
            << 932 << QByteArray("C:\\\x95\x5c\x8e\xa6\\a.exe") << "C:\\表示\\a.exe";
        QTest::newRow("932, lead byte at the end") << 932 << QByteArray("C:\\a\x82") << "C:\\a" + bad;
        QTest::newRow("936") << 936 << QByteArray("C:\\\xd6\xd0\xce\xc4\\app.exe") << "C:\\中文\\app.exe";
        QTest::newRow("936, lead byte at the end") << 936 << QByteArray("C:\\\xd6") << "C:\\" + bad;
        QTest::newRow("949") << 949 << QByteArray("C:\\\xc7\xd1\xb1\xdb") << "C:\\한글";
        QTest::newRow("949, lead byte at the end") << 949 << QByteArray("C:\\x\xc7") << "C:\\x" + bad;
        QTest::newRow("950") << 950 << QByteArray("C:\\\xa4\xa4\xa4\xe5") << "C:\\中文";
        QTest::newRow("950, a backslash as trail byte") << 950 << QByteArray("C:\\\xb3\x5c") << "C:\\許";
        QTest::newRow("950, lead byte at the end") << 950 << QByteArray("C:\\\xa4") << "C:\\" + bad;
        QTest::newRow("1251 stays single-byte") << 1251 << QByteArray("C:\\\xcf\xe0\xef\xea\xe0") << "C:\\Папка";
    }

    // ANSI strings in a double-byte code page: a lead byte and the byte
    // after it are one character. A lead byte with nothing after it (the
    // string ends) is one undecodable character, U+FFFD, never dropped and
    // never joined with what follows the string in the file.
    void ansiStringsInDoubleByteCodePages()
    {
        QFETCH(int, codePage);
        QFETCH(QByteArray, ansi);
        QFETCH(QString, expected);
        makePrefix();
        qputenv("VARNEL_CODEPAGE", QByteArray::number(codePage));
        LnkSpec local;
        local.localTarget = expected;
        local.localTargetAnsi = ansi;
        local.ansiStrings = true;
        local.description = local.arguments = local.workingDirectory = local.iconLocation = QString::fromLatin1(ansi);
        QVERIFY(LnkWriter::write(box.path("prefix/drive_c/ansi.lnk"), local));
        std::optional<ShellLinkData> d = ShellLinkReader::read(QStringLiteral("c:\\ansi.lnk"));
        QVERIFY(d);
        QCOMPARE(d->target, expected);
        QCOMPARE(d->description, expected);
        QCOMPARE(d->arguments, expected);
        QCOMPARE(d->workingDirectory, expected);
        QCOMPARE(d->iconLocation, expected);

        LnkSpec network;
        network.networkShare = QStringLiteral("\\\\server\\share");
        network.networkSuffix = QString::fromLatin1(ansi.mid(3));
        QVERIFY(LnkWriter::write(box.path("prefix/drive_c/share.lnk"), network));
        d = ShellLinkReader::read(QStringLiteral("c:\\share.lnk"));
        QVERIFY(d);
        QCOMPARE(d->target, "\\\\server\\share\\" + expected.mid(3));
    }

    void unicodeStringsKeepCharactersBeyondTheBasicPlane()
    {
        makePrefix();
        LnkSpec spec;
        spec.localTarget = QStringLiteral("C:\\фото 📷\\view.exe");
        spec.unicodeTarget = true;
        spec.description = QStringLiteral("Smile 😀 and 🎉");
        spec.arguments = QStringLiteral("--name \"🚀\"");
        spec.workingDirectory = QStringLiteral("C:\\🗂");
        spec.iconLocation = QStringLiteral("C:\\icons\\🙂.ico");
        QVERIFY(LnkWriter::write(box.path("prefix/drive_c/emoji.lnk"), spec));
        const std::optional<ShellLinkData> d = ShellLinkReader::read(QStringLiteral("c:\\emoji.lnk"));
        QVERIFY(d);
        QCOMPARE(d->target, spec.localTarget);
        QCOMPARE(d->description, spec.description);
        QCOMPARE(d->arguments, spec.arguments);
        QCOMPARE(d->workingDirectory, spec.workingDirectory);
        QCOMPARE(d->iconLocation, spec.iconLocation);
        // A file cut inside its strings is still read without overrunning it.
        QByteArray bytes = LnkWriter::build(spec);
        box.makeFile("prefix/drive_c/cut.lnk", bytes.left(bytes.size() - 20));
        ShellLinkReader::read(QStringLiteral("c:\\cut.lnk"));
    }

    void unicodeStringsEndAtANulAndHoldNoLoneSurrogate_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("expected");
        const QChar high(0xD83D), low(0xDE00);
        const auto withNul = [](const QString& a, const QString& b) { return a + QChar(0) + b; };
        QTest::newRow("description cut at a NUL") << "description" << withNul("ab", "cd") << true << "ab";
        QTest::newRow("arguments that start with a NUL") << "arguments" << withNul("", "x") << true << "";
        QTest::newRow("working folder ending in a NUL")
            << "workingDirectory" << withNul("C:\\w", "") << true << "C:\\w";
        QTest::newRow("damage after the NUL is not read")
            << "iconLocation" << withNul("C:\\i.ico", QString(high)) << true << "C:\\i.ico";
        QTest::newRow("target cut at a NUL") << "target" << withNul("C:\\a.exe", "junk") << true << "C:\\a.exe";
        QTest::newRow("a pair is kept") << "description" << QStringLiteral("a") + high + low << true
                                        << QStringLiteral("a") + high + low;
        QTest::newRow("lone high surrogate") << "description" << QStringLiteral("a") + high + "b" << false << "";
        QTest::newRow("lone low surrogate") << "arguments" << QString(low) << false << "";
        QTest::newRow("high surrogate at the end") << "iconLocation" << QStringLiteral("x") + high << false << "";
        QTest::newRow("pair the wrong way round") << "workingDirectory" << QString(low) + high << false << "";
        QTest::newRow("surrogate in the target") << "target" << QStringLiteral("C:\\a") + low + ".exe" << false << "";
    }

    // The strings read as the shell link object's getters give them: up to
    // the first NUL. A string with an unpaired surrogate is no text at all:
    // such a shortcut is damaged, read like any unreadable one.
    void unicodeStringsEndAtANulAndHoldNoLoneSurrogate()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, readable);
        QFETCH(QString, expected);
        makePrefix();
        LnkSpec spec;
        spec.localTarget = QStringLiteral("C:\\app.exe");
        spec.unicodeTarget = true;
        QString ShellLinkData::*member = &ShellLinkData::description;
        if (field == u"description")
            spec.description = text;
        else if (field == u"arguments")
            spec.arguments = text, member = &ShellLinkData::arguments;
        else if (field == u"workingDirectory")
            spec.workingDirectory = text, member = &ShellLinkData::workingDirectory;
        else if (field == u"iconLocation")
            spec.iconLocation = text, member = &ShellLinkData::iconLocation;
        else
            spec.localTarget = text, member = &ShellLinkData::target;
        QVERIFY(LnkWriter::write(box.path("prefix/drive_c/strings.lnk"), spec));
        const std::optional<ShellLinkData> d = ShellLinkReader::read(QStringLiteral("c:\\strings.lnk"));
        QCOMPARE(bool(d), readable);
        if (d)
            QCOMPARE((*d).*member, expected);
    }

    void blocksClaimingMoreThanTheFileHoldsAreUnreadable()
    {
        makePrefix();
        LnkSpec spec;
        spec.localTarget = QStringLiteral("C:\\app.exe");
        spec.description = QStringLiteral("d");
        const QByteArray intact = LnkWriter::build(spec);
        const qsizetype linkInfo = 0x4C; // no target ID list: the link info follows the header
        const quint32 linkInfoSize = qFromLittleEndian<quint32>(intact.constData() + linkInfo);
        const qsizetype description = linkInfo + linkInfoSize;
        const QList<QPair<const char*, std::function<void(QByteArray&)>>> cases = {
            {"link info of 4 GiB", [&](QByteArray& b) { put32(b, linkInfo, 0xFFFFFF00u); }},
            {"link info one byte past the end",
             [&](QByteArray& b) { put32(b, linkInfo, quint32(b.size() - linkInfo + 1)); }},
            {"description longer than the file",
             [&](QByteArray& b) { qToLittleEndian(quint16(0xFFFF), b.data() + description); }},
            {"target ID list longer than the file",
             [&](QByteArray& b) {
                 put32(b, 0x14, qFromLittleEndian<quint32>(b.constData() + 0x14) | 0x01);
                 b.insert(linkInfo, QByteArray("\xF0\xFF\x02\x00\x00\x00", 6));
             }},
        };
        box.makeFile("prefix/drive_c/intact.lnk", intact);
        QVERIFY(ShellLinkReader::read(QStringLiteral("c:\\intact.lnk")));
        const qint64 peakBefore = peakVirtualKiB();
        for (const auto& [name, damage] : cases) {
            QByteArray bytes = intact;
            damage(bytes);
            box.makeFile("prefix/drive_c/claims.lnk", bytes);
            QVERIFY2(!ShellLinkReader::read(QStringLiteral("c:\\claims.lnk")), name);
        }
        // Refused before anything is allocated for the claim.
        QVERIFY(peakVirtualKiB() - peakBefore < 64 * 1024);
    }
};

QTEST_GUILESS_MAIN(TestWinePrefix)
#include "tst_wineprefix.moc"
