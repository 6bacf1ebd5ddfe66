// Whole searches and deletions through the windows over trees built of
// traps: between listing and deletion, entries are swapped for links,
// replaced, respelled or made special. Only what was listed may go.

#include "app/TMainForm.h"
#include "cleaners/files/TEDirForm.h"
#include "cleaners/files/TEFileForm.h"
#include "cleaners/files/TLinkForm.h"
#include "platform/DriveTable.h"
#include "platform/MessagePump.h"
#include "platform/TickCounter.h"
#include "core/Disposal.h"
#include "settings/Settings.h"
#include "support/LnkWriter.h"
#include "support/Sandbox.h"
#include "widgets/ColourLogView.h"
#include "widgets/DriveBox.h"

#include <QLabel>
#include <QProcess>
#include <QStandardItemModel>
#include <QtTest>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

class TestDeletionSafety : public QObject {
    Q_OBJECT
    Sandbox box;

    void write(const QList<std::array<const char*, 3>>& values)
    {
        for (const auto& [section, key, value] : values)
            WriteSetting(QString::fromUtf8(section), QString::fromUtf8(key), QString::fromUtf8(value));
    }

    // Lines of one colour, the colour given in the log's 0x00BBGGRR form.
    static QStringList linesIn(const ColourLogView& log, quint32 bgr)
    {
        const QColor colour(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
        QStringList out;
        for (int i = 0; i < log.lineCount(); ++i)
            if (log.lineColour(i) == colour)
                out << log.lines().at(i);
        return out;
    }

    static QStringList rowsOf(const QStandardItemModel* model)
    {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->item(r)->text();
        return out;
    }

    void replaceByLink(const QByteArray& rel, const QByteArray& target)
    {
        QVERIFY(QDir(box.pathText(rel)).removeRecursively() || QFile::remove(box.pathText(rel)));
        QVERIFY(QFile::link(box.pathText(target), box.pathText(rel)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        static quint32 clock = 0;
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.clock = [] { return clock += 100; }; });
    }

    void init()
    {
        box.boxes.clear();
        box.boxAnswer = platform::MsgResult::Yes;
        QFile::remove(box.pathText("bin/varnel.ini"));
        if (box.exists("c/deep"))
            QVERIFY(EraseFile(QStringLiteral("c:\\deep"))); // deeper than QDir can remove
        for (const char* folder : {"c", "d", "outside"})
            QDir(box.pathText(folder)).removeRecursively();
        box.makeDir("c");
        box.setDrives({{'c', "c"}});
        platform::MessagePump::setHook({});
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.lettersAreWindows = std::nullopt; });
    }

    void aSearchAndDeleteOverTrapsDeletesOnlyWhatWasListed()
    {
        box.makeFile("c/plain.tmp", "junk");
        box.makeFile("c/evil/sub/precious.tmp", "listed");
        box.makeFile("outside/sub/precious.tmp", "outside");
        box.makeFile("outside/target.txt", "outside");
        box.makeFile("c/swap.tmp", "junk");
        box.makeDir("c/DATA/Cache.tmp");
        QCOMPARE(::mkfifo(box.path("c/pipe.tmp").constData(), 0600), 0);
        QVERIFY(QFile::link(box.pathText("outside/target.txt"), box.pathText("c/link.tmp")));
        box.makeFile("c/Straße/report.bak", "excluded");
        box.makeFile("c/keep/a.log", "excluded");
        box.makeFile("c/a\xEF\x80\xAA.tmp", "stand-in");
        box.makeFile("c/a*.tmp", "star");
        box.makeFile("c/late.tmp", "listed");
        // 4 500 bytes of path: made one folder handle at a time.
        QByteArray deep = "c/deep";
        box.makeDir(deep);
        int fd = ::open(box.path(deep).constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < 45; ++i) {
            const QByteArray name(100, 'd');
            QCOMPARE(::mkdirat(fd, name.constData(), 0755), 0);
            const int sub = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = sub;
            deep += "/" + name;
        }
        QCOMPARE(::close(::openat(fd, "bottom.tmp", O_CREAT | O_WRONLY, 0644)), 0);
        ::close(fd);
        write({{"Search", "TempFolders", "No"},
               {"CFilters", "Items", "1"},
               {"CFilters", "Filter0", ".\\keep\\*.log"},
               {"CFilters", "StateFilter0", "1"},
               {"ExDirs", "Items", "2"},
               {"ExDirs", "Dir0", "C:\\STRASSE"},
               {"ExDirs", "State0", "1"},
               {"ExDirs", "Dir1", "c:\\Straße"},
               {"ExDirs", "State1", "1"},
               {"ExDirs", "Dir2", "c:\\keep"},
               {"ExDirs", "State2", "1"}});
        write({{"ExDirs", "Items", "3"}});

        TMainForm form;
        form.FindActionExecute();
        const QStringList listed = form.FileModel->captions();
        QVERIFY2(listed.contains(QStringLiteral("[[-]] c:\\keep\\a.log")), qPrintable(listed.join(u'\n')));
        QVERIFY(listed.contains(QStringLiteral("[[-]] c:\\Straße\\report.bak")));
        QCOMPARE(listed.filter(QStringLiteral("bottom.tmp")).size(), 1);
        QCOMPARE(listed.size(), 12);

        // What changes on the disk while the list is on screen.
        replaceByLink("c/evil/sub", "outside/sub");
        QVERIFY(QFile::remove(box.pathText("c/swap.tmp")));
        box.makeFile("c/swap.tmp/thesis.doc", "work");
        QVERIFY(QDir(box.pathText("c/DATA/Cache.tmp")).removeRecursively());
        box.makeFile("c/DATA/cache.tmp/mail.db", "mail");
        // And one change in the middle of the deletion pass.
        bool swapped = false;
        platform::MessagePump::setHook([&] {
            if (!swapped && QFile::exists(box.pathText("c/late.tmp"))) {
                swapped = true;
                QFile::remove(box.pathText("c/late.tmp"));
                box.makeFile("c/late.tmp", "someone else's");
            }
        });
        form.DelFilesActionExecute();

        QCOMPARE(box.read("outside/sub/precious.tmp"), QByteArray("outside"));
        QCOMPARE(box.read("outside/target.txt"), QByteArray("outside"));
        QCOMPARE(box.read("c/swap.tmp/thesis.doc"), QByteArray("work"));
        QCOMPARE(box.read("c/DATA/cache.tmp/mail.db"), QByteArray("mail"));
        QCOMPARE(box.read("c/late.tmp"), QByteArray("someone else's"));
        QCOMPARE(box.read("c/Straße/report.bak"), QByteArray("excluded"));
        QCOMPARE(box.read("c/keep/a.log"), QByteArray("excluded"));
        QVERIFY(box.exists("c/pipe.tmp"));
        QVERIFY(!box.exists("c/plain.tmp") && !box.exists("c/link.tmp"));
        QVERIFY(linesIn(*form.LogRich, TMainForm::clBlack)
                    .contains(QStringLiteral("Удаление - ") + listed.filter(QStringLiteral("bottom.tmp")).value(0)));
        QVERIFY(!box.exists("c/a\xEF\x80\xAA.tmp") && !box.exists("c/a*.tmp"));
        QCOMPARE(box.read("home/data/Trash/files/a*.tmp"), QByteArray("star"));

        const QStringList failed = linesIn(*form.LogRich, TMainForm::clRed);
        QCOMPARE(failed.size(), 5);
        for (const char* name : {"precious.tmp", "swap.tmp", "Cache.tmp", "pipe.tmp", "late.tmp"})
            QVERIFY2(!failed.filter(QString::fromUtf8(name)).isEmpty(), name);
        QCOMPARE(form.TextStatus2->text(), QStringLiteral("Файлов удалено - 5    Невозможно удалить файлов - 5"));
        QVERIFY(EraseFile(QStringLiteral("c:\\deep"))); // deeper than QDir can remove
    }

    void theEmptyFolderToolDeletesNothingSwappedIn()
    {
        box.makeDir("c/tmp/evil/sub");
        box.makeDir("c/tmp/gone");
        box.makeFile("outside/tree/a/b.txt", "outside");
        TEDirForm form;
        form.Drive->setCurrentIndex(0);
        form.SrcBtnClick();
        QCOMPARE(rowsOf(form.DirsModel), QStringList({"C:\\TMP\\GONE", "C:\\TMP\\EVIL\\SUB"}));

        replaceByLink("c/tmp/evil/sub", "outside/tree");
        QVERIFY(QDir(box.pathText("c/tmp/gone")).removeRecursively());
        box.makeFile("c/tmp/gone/new.txt", "new");
        form.DelBtnClick();
        QCOMPARE(box.read("outside/tree/a/b.txt"), QByteArray("outside"));
        QCOMPARE(box.read("c/tmp/gone/new.txt"), QByteArray("new"));

        // A listed folder that was given content since is left whole.
        box.makeDir("c/tmp/later/sub");
        form.SrcBtnClick();
        QCOMPARE(rowsOf(form.DirsModel), QStringList({"C:\\TMP\\LATER\\SUB"}));
        box.makeFile("c/tmp/later/sub/work.doc", "work");
        form.DelBtnClick();
        QCOMPARE(box.read("c/tmp/later/sub/work.doc"), QByteArray("work"));
    }

    void theZeroByteToolListsRegularFilesEachUnderItsOwnName()
    {
        box.makeFile("c/z/a\xEF\x80\xAA", "");
        box.makeFile("c/z/a*", QByteArray(1 << 20, 'x'));
        QCOMPARE(::mkfifo(box.path("c/z/pipe").constData(), 0600), 0);
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray sockPath = box.path("c/z/sock");
        const bool bound = sockPath.size() < qsizetype(sizeof addr.sun_path)
            && (qstrncpy(addr.sun_path, sockPath.constData(), sizeof addr.sun_path),
                ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0);
        TEFileForm form;
        form.Drive->setCurrentIndex(0);
        form.SrcfileBtnClick();
        QCOMPARE(form.FileModel->rowCount(), 1);
        form.DelfileBtnClick();
        QVERIFY(!box.exists("c/z/a\xEF\x80\xAA"));
        QCOMPARE(box.read("c/z/a*").size(), 1 << 20);
        QVERIFY(box.exists("c/z/pipe"));
        QVERIFY(!bound || box.exists("c/z/sock"));
        ::close(s);
    }

    void shortcutsAreJudgedOnlyWhereTheirDriveLetterHolds()
    {
        // On the host's own table c: is the Linux root; d: holds Windows.
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.lettersAreWindows = false; });
        box.setDrives({{'c', "c"}, {'d', "d"}});
        box.makeDir("d/Windows/System32");
        box.makeFile("d/Program Files/App/app.exe");
        const auto shortcut = [&](const QByteArray& rel, const QString& target) {
            box.makeDir(rel.left(rel.lastIndexOf('/')));
            LnkSpec spec;
            spec.localTarget = target;
            QVERIFY(LnkWriter::write(box.path(rel), spec));
        };
        shortcut("d/desk/sound.lnk", QStringLiteral("C:\\Program Files\\App\\app.exe"));
        shortcut("d/desk/broken.lnk", QStringLiteral("C:\\Program Files\\Old\\old.exe"));
        shortcut("d/desk/cdrom.lnk", QStringLiteral("E:\\setup.exe"));
        shortcut("c/home/wine.lnk", QStringLiteral("C:\\Program Files\\App\\gone.exe"));
        TLinkForm form;
        form.show();
        form.SrcLinkBtnClick();
        QCOMPARE(form.LinkModel->rowCount(), 1);
        QCOMPARE(form.LinkModel->item(0)->text(), QStringLiteral("D:\\desk\\broken.lnk"));
        QCOMPARE(form.LinkCount, 2);
        form.DelLinkBtnClick();
        QVERIFY(!box.exists("d/desk/broken.lnk"));
        QVERIFY(box.exists("d/desk/sound.lnk") && box.exists("d/desk/cdrom.lnk") && box.exists("c/home/wine.lnk"));
    }
    // What the package manager installed and what a running program holds,
    // through the three windows as a user meets them.
    void packagedAndHeldEntriesSurviveEveryWindow()
    {
        const QByteArray usr = box.path("c/usr");
        box.makeFile("dpkg/info/python3-pkg.list",
                     usr + "\n" + usr + "/pkg\n" + usr + "/pkg/__init__.py\n" + usr + "/pkg/empty\n" + usr
                         + "/pkg/old.tmp\n");
        box.makeFile("c/usr/pkg/__init__.py", "");
        box.makeDir("c/usr/pkg/empty");
        box.makeFile("c/usr/pkg/old.tmp");
        box.makeFile("c/held.tmp", "open elsewhere");
        box.makeFile("c/free.tmp");
        box.makeFile("c/free/zero.txt", "");
        box.makeDir("c/free/empty");
        QProcess holder;
        holder.start(QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import time; f=open('%1'); print('ready', flush=True); time.sleep(60)")
                          .arg(box.pathText("c/held.tmp"))});
        QVERIFY(holder.waitForStarted() && holder.waitForReadyRead(10000));
        write({{"Search", "TempFolders", "No"}, {"Delete", "Recycle", "No"}});

        TMainForm form;
        form.FindActionExecute();
        const QStringList listed = form.FileModel->captions();
        QVERIFY2(listed.contains(QStringLiteral("[[-]] c:\\usr\\pkg\\old.tmp")), qPrintable(listed.join(u'\n')));
        form.DelFilesActionExecute();
        QVERIFY(box.exists("c/usr/pkg/old.tmp") && box.exists("c/held.tmp") && !box.exists("c/free.tmp"));
        QVERIFY(
            linesIn(*form.LogRich, TMainForm::clBlack).contains(QStringLiteral("Пропущен - c:\\usr\\pkg\\old.tmp")));
        QCOMPARE(linesIn(*form.LogRich, TMainForm::clRed),
                 QStringList({QStringLiteral("Невозможно удалить - c:\\held.tmp")}));
        holder.kill();
        holder.waitForFinished();

        TEFileForm zero;
        zero.Drive->setCurrentIndex(0);
        zero.SrcfileBtnClick();
        QCOMPARE(rowsOf(zero.FileModel), QStringList({"C:\\FREE\\ZERO.TXT"}));
        TEDirForm dirs;
        dirs.Drive->setCurrentIndex(0);
        dirs.SrcBtnClick();
        QCOMPARE(rowsOf(dirs.DirsModel), QStringList({"C:\\FREE\\EMPTY"}));
        QFile::remove(box.pathText("dpkg/info/python3-pkg.list"));
    }
};

QTEST_MAIN(TestDeletionSafety)
#include "tst_deletionsafety.moc"
