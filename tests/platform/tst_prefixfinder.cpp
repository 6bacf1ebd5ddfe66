// The prefix finder on a fake home holding what Wine front ends leave
// there, decoys included, and the restart into a prefix as the restarted
// program reports it.

#include "formats/KeyValuesText.h"
#include "platform/ProgramRestart.h"
#include "platform/WinePrefix.h"
#include "platform/WinePrefixFinder.h"
#include "support/Sandbox.h"

#include <QtTest>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::FoundPrefix;
using platform::WinePrefixFinder;

namespace {

// Set in the environment of a copy of this program that only reports its
// WINEPREFIX into the file named, then ends.
const char kReportVariable[] = "VARNEL_TEST_REPORT_PREFIX";

QByteArray registryHead(const char* arch)
{
    QByteArray head = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
    if (arch)
        head += QByteArray("#arch=") + arch + "\n";
    return head + "\n[Software] 1700000000\n";
}

QByteArray manifest(const QByteArray& appId, const QByteArray& quotedName)
{
    return "\"AppState\"\n{\n\t\"appid\"\t\t\"" + appId + "\"\n\t\"Universe\"\t\t\"1\"\n\t\"name\"\t\t\"" + quotedName
        + "\"\n\t\"StateFlags\"\t\t\"4\"\n\t\"UserConfig\"\n\t{\n\t\t\"language\"\t\t\"russian\"\n\t}\n}\n";
}

// A process other than this one holding the lock of a running wineserver;
// it ends with the object.
class ServerLock {
public:
    explicit ServerLock(const QByteArray& lockFile)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(stop_) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(stop_[1]);
            const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT, 0600);
            struct flock fl {};
            fl.l_type = F_WRLCK;
            const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0;
            (void)!::write(ready[1], &ok, 1);
            char c;
            (void)!::read(stop_[0], &c, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(stop_[0]);
        char ok = 0;
        locked_ = ::read(ready[0], &ok, 1) == 1 && ok;
        ::close(ready[0]);
    }
    ~ServerLock()
    {
        ::close(stop_[1]);
        if (pid_ > 0)
            ::waitpid(pid_, nullptr, 0);
    }
    bool locked() const { return locked_; }

private:
    int stop_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool locked_ = false;
};

} // namespace

class TestPrefixFinder : public QObject {
    Q_OBJECT
    Sandbox box;

    void prefix(const QByteArray& rel, const char* arch = "win64")
    {
        box.makeFile(rel + "/system.reg", registryHead(arch));
        box.makeDir(rel + "/drive_c/windows");
    }

    void link(const QByteArray& target, const QByteArray& rel)
    {
        QVERIFY(::symlink(target.constData(), box.path(rel).constData()) == 0);
    }

    QByteArray real(const QByteArray& rel) const
    {
        char* r = ::realpath(box.path(rel).constData(), nullptr);
        const QByteArray out(r ? r : "");
        std::free(r);
        return out;
    }

    // The fake home: each front end's files, and decoys beside them.
    void buildHome()
    {
        const QByteArray steam = "home/.local/share/Steam";
        const QByteArray library2 = "games/SteamLibrary";
        box.makeFile(
            steam + "/steamapps/libraryfolders.vdf",
            "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + box.path(steam)
                + "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"1001\"\t\t\"1\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\""
                + box.path(library2) + "\" // second disk\n\t}\n\t\"2\"\n\t{\n\t\t\"path\"\t\t\""
                + box.path("games/gone") + "\"\n\t}\n}\n");
        box.makeDir("home/.steam");
        link("../.local/share/Steam", "home/.steam/steam"); // the client's own link: the same library
        prefix(steam + "/steamapps/compatdata/1001/pfx");
        box.makeFile(steam + "/steamapps/appmanifest_1001.acf", manifest("1001", "Ведьмак 3: Дикая Охота"));
        prefix(steam + "/steamapps/compatdata/1002/pfx", "win32");
        box.makeFile(steam + "/steamapps/appmanifest_1002.acf", manifest("1002", "Half-Life: \\\"Alyx\\\""));
        prefix(steam + "/steamapps/compatdata/1003/pfx");
        box.makeFile(steam + "/steamapps/appmanifest_1003.acf", "\"AppState\"\n{\n\t\"name\"\t\t\"Cut off");
        box.makeDir(steam + "/steamapps/compatdata/1004/pfx/drive_c"); // no system.reg
        link("loop", steam + "/steamapps/compatdata/loop");
        prefix(library2 + "/steamapps/compatdata/2001/pfx", nullptr);
        box.makeFile(library2 + "/steamapps/appmanifest_2001.acf", manifest("2001", "Игра Два"));

        prefix("home/.local/share/bottles/bottles/Office", "win32");
        box.makeFile("home/.local/share/bottles/bottles/Office/bottle.yml",
                     "Arch: win32\nName: 'Офис 2010'\nPath: Office\nEnvironment: Software\n");
        prefix("home/.local/share/bottles/bottles/Empty");

        prefix("home/Games/diablo-ii");
        box.makeFile(
            "home/.config/lutris/games/diablo-ii-1700000000.yml",
            "game:\n  exe: drive_c/d2.exe\n  prefix: ~/Games/diablo-ii\n  arch: win64\nwine:\n  version: lutris\n");
        box.makeFile("home/.config/lutris/games/broken-1.yml", "game: [unclosed\n  prefix\n");

        prefix("home/.wine");
        prefix("home/.PlayOnLinux/wineprefix/Steam_old", "win32");
        box.makeDir("home/.PlayOnLinux/wineprefix/nosystem/drive_c");
        link("../../.local/share/bottles/bottles/Office", "home/.PlayOnLinux/wineprefix/office-again");
        link("loop", "home/.PlayOnLinux/wineprefix/loop");
    }

private Q_SLOTS:
    void initTestCase()
    {
        buildHome();
        // ~/.wine's server runs; no other's.
        struct stat st;
        QVERIFY(::stat(box.path("home/.wine").constData(), &st) == 0);
        box.makeDir("srv/server-" + QByteArray::number(qulonglong(st.st_dev), 16) + "-"
                    + QByteArray::number(qulonglong(st.st_ino), 16));
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.serverFolderParents = {box.path("srv")}; });
    }

    // A U+FEFF that begins a key or value is text: only the file's first
    // bytes are a byte-order mark.
    void keyValuesKeepEveryCharacter()
    {
        const auto top = formats::KeyValuesText::parse("\xEF\xBB\xBF\"k\" { \"\xEF\xBB\xBFkey\" \"\xEF\xBB\xBFv\" }");
        QVERIFY(top && top->size() == 1 && top->first().key == QStringLiteral("k"));
        const formats::KeyValuesText::Node* inner = top->first().child(QChar(0xFEFF) + QStringLiteral("key"));
        QVERIFY(inner);
        QCOMPARE(inner->value, QChar(0xFEFF) + QStringLiteral("v"));
    }

    void everyFrontEndsPrefixIsListedOnceByName()
    {
        struct stat st;
        QVERIFY(::stat(box.path("home/.wine").constData(), &st) == 0);
        ServerLock server(box.path("srv/server-" + QByteArray::number(qulonglong(st.st_dev), 16) + "-"
                                   + QByteArray::number(qulonglong(st.st_ino), 16) + "/lock"));
        QVERIFY(server.locked());
        const QList<FoundPrefix> found = WinePrefixFinder::find(box.pathText("home"));
        QStringList rows;
        for (const FoundPrefix& p : found)
            rows << p.name + u'|' + p.path + u'|' + p.source + u'|' + p.arch + u'|' + (p.serverRunning ? u'R' : u'-')
                    + u'|' + QString::number(p.sizeOnDisk);
        const QString steam = QString::fromUtf8(real("home/.local/share/Steam/steamapps/compatdata"));
        const QString home = QString::fromUtf8(real("home"));
        const QStringList expected{
            QStringLiteral(".wine|%1/.wine|wine|win64|R|0").arg(home),
            QStringLiteral("1003|%1/1003/pfx|steam|win64|-|0").arg(steam),
            QStringLiteral("diablo-ii|%1/Games/diablo-ii|lutris|win64|-|0").arg(home),
            QStringLiteral("Empty|%1/.local/share/bottles/bottles/Empty|bottles|win64|-|0").arg(home),
            QStringLiteral("Half-Life: \"Alyx\"|%1/1002/pfx|steam|win32|-|0").arg(steam),
            QStringLiteral("Steam_old|%1/.PlayOnLinux/wineprefix/Steam_old|playonlinux|win32|-|0").arg(home),
            QStringLiteral("Ведьмак 3: Дикая Охота|%1/1001/pfx|steam|win64|-|0").arg(steam),
            QStringLiteral("Игра Два|%1/steamapps/compatdata/2001/pfx|steam||-|0")
                .arg(QString::fromUtf8(real("games/SteamLibrary"))),
            QStringLiteral("Офис 2010|%1/.local/share/bottles/bottles/Office|bottles|win32|-|0").arg(home),
        };
        QCOMPARE(rows, expected);

        // By name without regard to case, or by any path that leads there.
        const QString home_ = box.pathText("home");
        QCOMPARE(WinePrefixFinder::lookup(QStringLiteral("игра два"), home_)->name, QStringLiteral("Игра Два"));
        QCOMPARE(WinePrefixFinder::lookup(home_ + QStringLiteral("/.steam/steam/steamapps/compatdata/1001/pfx/"), home_)
                     ->name,
                 QStringLiteral("Ведьмак 3: Дикая Охота"));
        QCOMPARE(WinePrefixFinder::lookup(home_ + QStringLiteral("/.PlayOnLinux/wineprefix/office-again"), home_)->name,
                 QStringLiteral("Офис 2010"));
        QVERIFY(!WinePrefixFinder::lookup(QStringLiteral("1004"), home_));
        QVERIFY(!WinePrefixFinder::lookup(home_ + QStringLiteral("/.PlayOnLinux/wineprefix/nosystem"), home_));

        // The size counts the prefix's own blocks, not what a link names.
        box.makeFile("home/.wine/drive_c/big.dat", QByteArray(256 * 1024, 'x'));
        box.makeFile("elsewhere/huge.dat", QByteArray(4 * 1024 * 1024, 'y'));
        link(box.path("elsewhere/huge.dat"), "home/.wine/drive_c/huge-link");
        const quint64 size = WinePrefixFinder::sizeOnDisk(home + QStringLiteral("/.wine"));
        QVERIFY2(size >= 256 * 1024 && size < 1024 * 1024, QByteArray::number(size));
    }

    void theRestartedProgramWorksInTheChosenEnvironment()
    {
        const QString report = box.pathText("report.txt");
        const auto startedWith = [&](const QString& prefix) -> QString {
            QFile::remove(report);
            if (!platform::ProgramRestart::startIn(prefix))
                return QStringLiteral("not started");
            for (int i = 0; i < 200 && !QFile::exists(report + QStringLiteral(".done")); ++i)
                QThread::msleep(50);
            QFile::remove(report + QStringLiteral(".done"));
            QFile f(report);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("no report");
        };
        qputenv(kReportVariable, report.toUtf8());
        qputenv("WINEPREFIX", "/somewhere/else");
        const QString wine = QString::fromUtf8(real("home/.wine"));
        QCOMPARE(startedWith(wine), QStringLiteral("set:") + wine);
        QCOMPARE(startedWith(QString()), QStringLiteral("unset"));
        qunsetenv(kReportVariable);
        qunsetenv("WINEPREFIX");
    }
};

int main(int argc, char** argv)
{
    // The copy that ProgramRestart started: it says where it works.
    if (const QByteArray report = qgetenv(kReportVariable); !report.isEmpty()) {
        QFile out(QString::fromUtf8(report));
        if (out.open(QIODevice::WriteOnly))
            out.write(qEnvironmentVariableIsSet("WINEPREFIX") ? "set:" + qgetenv("WINEPREFIX") : "unset");
        out.close();
        QFile done(QString::fromUtf8(report) + QStringLiteral(".done"));
        return done.open(QIODevice::WriteOnly) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TestPrefixFinder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_prefixfinder.moc"
