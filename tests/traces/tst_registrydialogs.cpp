// The autorun and uninstall dialogs and the main window's trace commands,
// on registry files the tests write as text. Every deletion is checked by
// comparing whole files before and after.

#include "app/TMainForm.h"
#include "cleaners/traces/ServerStopOffer.h"
#include "cleaners/traces/TRunMForm.h"
#include "cleaners/traces/TUMCForm.h"
#include "platform/WinePrefix.h"
#include "support/Sandbox.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::MsgResult;

namespace {

const QByteArray kMachine = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
const QByteArray kUser = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n";
const QByteArray kDefault = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\.Default\n\n";
const QByteArray kRun =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n#time=1d9c2f1a2b3c4d5\n";
const QByteArray kUninstall = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\";

QStringList rowsOf(const QStandardItemModel* m)
{
    QStringList rows;
    for (int r = 0; r < m->rowCount(); ++r)
        rows << m->item(r, 0)->text() + u'|' + m->item(r, 1)->text() + u'|' + m->item(r, 2)->text();
    return rows;
}

QStringList childrenOf(const QTreeWidgetItem* item)
{
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

QByteArray without(QByteArray text, const QByteArray& part)
{
    const qsizetype at = text.indexOf(part);
    if (at >= 0)
        text.remove(at, part.size());
    return text;
}

} // namespace

class TestRegistryDialogs : public QObject {
    Q_OBJECT
    Sandbox box;

    void writeFiles(const QByteArray& machine, const QByteArray& user, const QByteArray& users)
    {
        QDir(box.pathText("registry")).removeRecursively();
        box.makeFile("registry/system.reg", machine);
        box.makeFile("registry/user.reg", user);
        box.makeFile("registry/userdef.reg", users);
    }

    static void select(TRunMForm& f, int row) { f.ProgsView->selectRow(row); }

    QByteArray standardRun() { return kRun; }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(menuimages);
        QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/vrimgs.dll"), box.pathText("bin/vrimgs.dll"));
    }

    void init()
    {
        box.boxes.clear();
        box.boxAnswer = MsgResult::Cancel;
        qunsetenv("WINEPREFIX");
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.serverFolderParents = {}; });
    }

    void autorunListsTheThreeRootsNewestGroupFirst()
    {
        writeFiles(kMachine + kRun + "\"Alpha\"=\"c:\\\\a.exe\"\n\"Beta\"=str(2):\"%ProgramFiles%\\\\b.exe\"\n",
                   kUser + kRun + "@=\"c:\\\\default.exe\"\n\"Alpha\"=\"c:\\\\user-a.exe\"\n",
                   kDefault + kRun + "\"Gamma\"=\"g.exe\"\n");
        TRunMForm f;
        f.FormShow();
        QCOMPARE(rowsOf(f.ProgsModel),
                 (QStringList{"HKEY_USERS|Gamma|g.exe", "HKEY_CURRENT_USER|Alpha|c:\\user-a.exe",
                              "HKEY_CURRENT_USER||c:\\default.exe", "HKEY_LOCAL_MACHINE|Beta|%ProgramFiles%\\b.exe",
                              "HKEY_LOCAL_MACHINE|Alpha|c:\\a.exe"}));
        QCOMPARE(f.windowTitle(), QStringLiteral(" Автозапуск программ"));
        QCOMPARE(f.ProgsModel->headerData(2, Qt::Horizontal).toString(), QStringLiteral(" Значение"));
        QVERIFY(f.ProgsView->columnWidth(2) >= 220);
        select(f, 3);
        QCOMPARE(f.ValPane->text(), QStringLiteral("Beta"));
        QCOMPARE(f.ProgPane->text(), QStringLiteral("%ProgramFiles%\\b.exe"));
        f.resize(700, 450);
        f.FormResize();
        QCOMPARE(f.ExitBtn->x(), 700 - 96);
        QCOMPARE(f.DelItemBtn->y(), 450 - 85);
        QCOMPARE(f.MainPanel->height(), 450 - 90);
    }

    // The registry dialogs speak in the program's font, like every other window.
    void registryDialogsUseTheProgramsFont()
    {
        const QFont saved = QApplication::font();
        QFont font;
        font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        font.setPointSize(8);
        QApplication::setFont(font);
        {
            TRunMForm autorun;
            TUMCForm uninstall;
            for (QWidget* w : {static_cast<QWidget*>(&autorun), static_cast<QWidget*>(&uninstall)}) {
                QVERIFY2(!w->testAttribute(Qt::WA_SetFont), qPrintable(w->objectName()));
                QCOMPARE(w->font().families(), font.families());
            }
        }
        QApplication::setFont(saved);
    }

    void aValueThatIsNoTextIsLeftOut()
    {
        // Wine sorts values by name: a number first must hide nothing.
        writeFiles(kMachine + kRun
                       + "\"AAA_Flag\"=dword:00000001\n\"One\"=\"1.exe\"\n\"Num\"=hex:01,02\n\"Two\"=\"2.exe\"\n",
                   kUser + kRun + "\"User\"=\"u.exe\"\n", kDefault);
        TRunMForm f;
        f.FormShow();
        QCOMPARE(rowsOf(f.ProgsModel),
                 (QStringList{"HKEY_CURRENT_USER|User|u.exe", "HKEY_LOCAL_MACHINE|Two|2.exe",
                              "HKEY_LOCAL_MACHINE|One|1.exe"}));
    }

    void deletingRemovesOnlyThatValueUnderThatRoot()
    {
        const QByteArray machine = kMachine + kRun + "\"Same\"=\"m.exe\"\n\"Other\"=\"o.exe\"\n";
        const QByteArray user = kUser + kRun + "@=\"d.exe\"\n\"Same\"=\"u.exe\"\n";
        writeFiles(machine, user, kDefault);
        TRunMForm f;
        f.FormShow();
        // Rows: CU|Same, CU|(default), LM|Other, LM|Same
        box.boxAnswer = MsgResult::No;
        select(f, 0);
        f.DelItemBtnClick();
        QCOMPARE(box.read("registry/user.reg"), user);
        QCOMPARE(f.ProgsModel->rowCount(), 4);
        QCOMPARE(f.ValPane->text(), QStringLiteral("Same"));

        box.boxAnswer = MsgResult::Yes;
        box.boxes.clear();
        select(f, 0);
        f.DelItemBtnClick();
        QCOMPARE(box.read("registry/user.reg"), without(user, "\"Same\"=\"u.exe\"\n"));
        QCOMPARE(box.read("registry/system.reg"), machine);
        QCOMPARE(box.boxes.size(), 1); // the question, no error
        QVERIFY(box.boxes.first().startsWith(QStringLiteral("ВНИМАНИЕ! Выбранная запись реестра будет удалена.")));
        QVERIFY(f.ValPane->text().isEmpty());

        select(f, 0); // the default value
        f.DelItemBtnClick();
        QCOMPARE(box.read("registry/user.reg"), kUser + kRun);
        QCOMPARE(rowsOf(f.ProgsModel),
                 (QStringList{"HKEY_LOCAL_MACHINE|Other|o.exe", "HKEY_LOCAL_MACHINE|Same|m.exe"}));
    }

    void nothingSelectedAsksNothing()
    {
        writeFiles(kMachine + kRun + "\"A\"=\"a\"\n", kUser, kDefault);
        TRunMForm f;
        f.FormShow();
        box.boxAnswer = MsgResult::Yes;
        f.DelItemBtnClick();
        QVERIFY(box.boxes.isEmpty());
        QCOMPARE(f.ProgsModel->rowCount(), 1);
    }

    void aRefusedDeletionShowsTheErrorBox()
    {
        // A file that cannot be parsed is never written: the value stays.
        const QByteArray machine = kMachine + kRun + "\"A\"=\"a\"\n\"Broken\"=\"cut";
        writeFiles(machine, kUser, kDefault);
        TRunMForm f;
        f.FormShow();
        QCOMPARE(f.ProgsModel->rowCount(), 1);
        box.boxAnswer = MsgResult::Yes;
        select(f, 0);
        f.DelItemBtnClick();
        QCOMPARE(box.read("registry/system.reg"), machine);
        QCOMPARE(box.boxes.size(), 2);
        QCOMPARE(box.boxes.last(),
                 QStringLiteral("ОШИБКА! Запись реестра не удалена. Возможно данная программа или "
                                "сервис выполняются в данный момент."));
    }

    void uninstallTreeShowsEveryEntry()
    {
        writeFiles(kMachine + kUninstall
                       + "zeta] 1\n\"DisplayName\"=\"Zeta App\"\n\"UninstallString\"=\"z.exe /u\"\n"
                         "\"Empty\"=\"\"\n\n"
                       + kUninstall + "Alpha] 1\n\"Publisher\"=\"A Corp\"\n\n" + kUninstall
                       + "Mixed] 1\n\"DisplayName\"=\"Mixed\"\n\"Comment\"=\"before\"\n"
                         "\"EstimatedSize\"=dword:00000100\n\"Publisher\"=\"M Corp\"\n\n"
                       + kUninstall + "NumName] 1\n\"DisplayName\"=dword:00000001\n\"X\"=\"y\"\n",
                   kUser, kDefault);
        TUMCForm f;
        f.FormShow();
        QCOMPARE(f.PTree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = f.PTree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Установленные программы"));
        QVERIFY(root->isExpanded());
        QCOMPARE(f.PTree->currentItem(), root);
        QCOMPARE(childrenOf(root), (QStringList{"Alpha", "Mixed", "NumName", "Zeta App"}));
        QCOMPARE(childrenOf(root->child(0)), QStringList{"Publisher = A Corp"});
        QCOMPARE(childrenOf(root->child(1)),
                 (QStringList{"DisplayName = Mixed", "Comment = before", "Publisher = M Corp"}));
        QVERIFY(childrenOf(root->child(2)).isEmpty());
        QCOMPARE(childrenOf(root->child(3)),
                 (QStringList{"DisplayName = Zeta App", "UninstallString = z.exe /u",
                              "Empty = Значение параметра не установлено"}));
        QCOMPARE(f.ProgsPane->text(), QStringLiteral("Установлено программ : 4"));

        f.PTreeMouseUp(root->child(3)->child(0));
        QVERIFY(f.KeyPane->text().isEmpty());
        QVERIFY(!f.DelBtn->isEnabled());
        QVERIFY(!f.DelRecItem->isEnabled());
        f.PTreeMouseUp(root->child(3));
        QCOMPARE(f.KeyPane->text(), QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\zeta"));
        QVERIFY(f.DelBtn->isEnabled());
        QVERIFY(f.DelRecItem->isEnabled());
        f.PTree->setCurrentItem(root);
        f.PTreeKeyUp();
        QVERIFY(f.KeyPane->text().isEmpty());
        QVERIFY(!f.DelBtn->isEnabled());
    }

    void aMissingUninstallKeyIsReported()
    {
        writeFiles(kMachine, kUser, kDefault);
        TUMCForm f;
        f.FormShow();
        QCOMPARE(box.boxes, QStringList{QStringLiteral("Ошибка. Запрошенный раздел реестра не найден.")});
        QCOMPARE(f.PTree->topLevelItemCount(), 1);
        QCOMPARE(f.PTree->topLevelItem(0)->childCount(), 0);
        QVERIFY(f.ProgsPane->text().isEmpty());
    }

    void deletingAnEntryTakesItsKeyWithSubKeys()
    {
        const QByteArray gone = kUninstall + "Gone] 1\n\"DisplayName\"=\"Gone\"\n\n" + kUninstall
            + "Gone\\\\Sub] 1\n\"x\"=\"1\"\n\n";
        const QByteArray machine = kMachine + kUninstall + "Alpha] 1\n\"DisplayName\"=\"Alpha\"\n\n" + gone + kUninstall
            + "Zulu] 1\n\"DisplayName\"=\"Zulu\"\n";
        writeFiles(machine, kUser, kDefault);
        TUMCForm f;
        f.FormShow();
        box.boxAnswer = MsgResult::Yes;
        // The root selected: nothing is deleted, the tree is rebuilt.
        f.DelBtnClick();
        QCOMPARE(box.read("registry/system.reg"), machine);
        QCOMPARE(f.ProgsPane->text(), QStringLiteral("Установлено программ : 3"));

        box.boxes.clear();
        QTreeWidgetItem* root = f.PTree->topLevelItem(0);
        f.PTree->setCurrentItem(root->child(1));
        f.DelRecItemClick();
        QCOMPARE(box.read("registry/system.reg"), without(machine, gone));
        QCOMPARE(box.boxes.last(),
                 QStringLiteral("Запись реестра \"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gone\" "
                                "успешно удалена."));
        QCOMPARE(f.ProgsPane->text(), QStringLiteral("Установлено программ : 2"));
        QCOMPARE(childrenOf(f.PTree->topLevelItem(0)), (QStringList{"Alpha", "Zulu"}));

        // No: nothing changes.
        box.boxAnswer = MsgResult::No;
        f.PTree->setCurrentItem(f.PTree->topLevelItem(0)->child(0));
        f.DelBtnClick();
        QCOMPARE(box.read("registry/system.reg"), without(machine, gone));
    }

    void theThirtyTwoBitViewIsListedAndDeletedWhereItCameFrom()
    {
        const QByteArray run32 = "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1\n";
        const QByteArray same32 = "\"Same\"=\"m32.exe\"\n";
        const QByteArray uninstall32 =
            "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\";
        const QByteArray app32 = uninstall32 + "App] 1\n\"DisplayName\"=\"App\"\n\"Publisher\"=\"32\"\n\n";
        const QByteArray body = kRun + "\"Same\"=\"m64.exe\"\n\n" + run32 + same32 + "\"Old\"=\"o.exe\"\n\n"
            + kUninstall + "App] 1\n\"DisplayName\"=\"App\"\n\"Publisher\"=\"64\"\n\n" + app32 + uninstall32
            + "Legacy] 1\n\n";
        const QByteArray machine = kMachine + body;
        writeFiles(machine, kUser, kDefault);
        {
            TRunMForm f;
            f.FormShow();
            QCOMPARE(rowsOf(f.ProgsModel),
                     (QStringList{"HKEY_LOCAL_MACHINE|Old (32-бит)|o.exe", "HKEY_LOCAL_MACHINE|Same (32-бит)|m32.exe",
                                  "HKEY_LOCAL_MACHINE|Same|m64.exe"}));
            box.boxAnswer = MsgResult::Yes;
            select(f, 1);
            f.DelItemBtnClick();
            QCOMPARE(box.read("registry/system.reg"), without(machine, same32));
            QCOMPARE(rowsOf(f.ProgsModel),
                     (QStringList{"HKEY_LOCAL_MACHINE|Old (32-бит)|o.exe", "HKEY_LOCAL_MACHINE|Same|m64.exe"}));
        }
        {
            TUMCForm f;
            f.FormShow();
            QTreeWidgetItem* root = f.PTree->topLevelItem(0);
            QCOMPARE(childrenOf(root), (QStringList{"App", "App (32-бит)", "Legacy (32-бит)"}));
            QCOMPARE(childrenOf(root->child(1)), (QStringList{"DisplayName = App", "Publisher = 32"}));
            QCOMPARE(f.ProgsPane->text(), QStringLiteral("Установлено программ : 3"));
            f.PTree->setCurrentItem(root->child(1));
            f.PTreeMouseUp(root->child(1));
            QCOMPARE(f.KeyPane->text(),
                     QStringLiteral("SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App"));
            f.DelBtnClick();
            QCOMPARE(box.read("registry/system.reg"), without(without(machine, same32), app32));
            QCOMPARE(childrenOf(f.PTree->topLevelItem(0)), (QStringList{"App", "Legacy (32-бит)"}));
        }
        // A 32-bit machine has no second view: its Wow6432Node is just a key.
        writeFiles("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n" + body, kUser,
                   kDefault);
        TRunMForm run;
        run.FormShow();
        QCOMPARE(rowsOf(run.ProgsModel), QStringList{"HKEY_LOCAL_MACHINE|Same|m64.exe"});
        TUMCForm uninstall;
        uninstall.FormShow();
        QCOMPARE(childrenOf(uninstall.PTree->topLevelItem(0)), QStringList{"App"});
    }

    void thePathShownTheControlsAndTheDeletionFollowOneNode()
    {
        const QByteArray b = kUninstall + "B] 1\n\"DisplayName\"=\"B\"\n\n";
        const QByteArray machine = kMachine + kUninstall + "A] 1\n\"DisplayName\"=\"A\"\n\n" + b;
        writeFiles(machine, kUser, kDefault);
        TUMCForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTreeWidgetItem* root = f.PTree->topLevelItem(0);
        f.PTreeMouseUp(root->child(0));
        QCOMPARE(f.KeyPane->text(), QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\A"));
        // A right-click opens the menu on press; no release reaches the tree.
        const QPoint at = f.PTree->visualItemRect(root->child(1)).center();
        QTest::mousePress(f.PTree->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(f.PTree->currentItem(), root->child(1));
        QCOMPARE(f.KeyPane->text(), QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\B"));
        QVERIFY(f.DelRecItem->isEnabled());
        f.ProgsMenu->hide();
        box.boxAnswer = MsgResult::Yes;
        f.DelRecItem->trigger();
        QCOMPARE(box.read("registry/system.reg"), without(machine, b));
        // The rebuilt tree: the root is current, nothing to delete.
        QCOMPARE(f.PTree->currentItem(), f.PTree->topLevelItem(0));
        QVERIFY(f.KeyPane->text().isEmpty());
        QVERIFY(!f.DelBtn->isEnabled());
        // A key moving the current node moves the rest with it.
        QTest::keyClick(f.PTree, Qt::Key_Down);
        QCOMPARE(f.KeyPane->text(), QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\A"));
        QVERIFY(f.DelBtn->isEnabled());
        f.close();

        // No programs: no node is current, nothing can be deleted.
        writeFiles(kMachine + kUninstall.chopped(2) + "] 1\n", kUser, kDefault);
        TUMCForm empty;
        empty.FormShow();
        QCOMPARE(empty.PTree->topLevelItem(0)->childCount(), 0);
        QVERIFY(!empty.PTree->currentItem());
        QVERIFY(empty.PTree->selectedItems().isEmpty());
        QVERIFY(!empty.DelBtn->isEnabled());
        QVERIFY(!empty.DelRecItem->isEnabled());
        empty.show();
        QVERIFY(QTest::qWaitForWindowExposed(&empty));
        empty.PTree->setFocus(Qt::TabFocusReason);
        QVERIFY(empty.PTree->selectedItems().isEmpty());
        QVERIFY(!empty.DelBtn->isEnabled());
        QVERIFY(empty.KeyPane->text().isEmpty());
    }

    void mainWindowCommandsReportAndToggle()
    {
        writeFiles(
            kMachine,
            kUser + "[Software\\\\Microsoft\\\\Internet Explorer\\\\TypedURLs] 1\n\"url1\"=\"http://x.example/\"\n",
            kDefault);
        TMainForm form;
        bool shown = false;
        form.ShowModal = [&](QDialog& d) {
            shown = d.objectName() == QLatin1String("TRunMForm") || d.objectName() == QLatin1String("TUMCForm");
        };
        form.FormShow();
        QVERIFY(!form.PagefileMenuItem->isChecked());
        form.PagefileMenuItem->trigger();
        QVERIFY(form.PagefileMenuItem->isChecked());
        QVERIFY(box.read("registry/system.reg").contains("\"ClearPageFileAtShutdown\"=dword:00000001"));
        form.PagefileMenuItem->trigger();
        QVERIFY(!form.PagefileMenuItem->isChecked());
        QVERIFY(box.read("registry/system.reg").contains("\"ClearPageFileAtShutdown\"=dword:00000000"));
        form.PagefileMenuItem->setChecked(true);
        form.FormShow();
        QVERIFY(!form.PagefileMenuItem->isChecked());

        form.EntURLSmenuItem->trigger();
        QCOMPARE(form.TextStatus2->text(), QStringLiteral("Список введенных адресов очищен"));
        QVERIFY(!box.read("registry/user.reg").contains("url1"));
        form.DocMenuItem->trigger();
        QCOMPARE(form.TextStatus2->text(), QStringLiteral("Меню \"Документы\" очищено"));
        form.HistoryMenuItem->trigger();
        QCOMPARE(form.TextStatus2->text(), QStringLiteral("Списки истории очищены"));
        QCOMPARE(form.FindRecDocs->Attributes, (TAttrOptions{ffReadOnly, ffArchive}));
        form.ArunMenuItem->trigger();
        QVERIFY(shown);
        shown = false;
        form.UninstMenuItem->trigger();
        QVERIFY(shown);
    }

    // While the prefix's wineserver runs a write is refused; the box then
    // offers to stop that server. No leaves everything as it was; Yes runs
    // the prefix's "wineserver -k" and "-w" and repeats the write.
    void aRunningWineserverIsStoppedOnlyWhenTheUserSaysYes()
    {
        box.makeFile("prefix/system.reg", kMachine);
        box.makeFile("prefix/user.reg", kUser);
        box.makeDir("prefix/drive_c");
        qputenv("WINEPREFIX", box.path("prefix"));
        struct stat st;
        QVERIFY(::stat(box.path("prefix").constData(), &st) == 0);
        const QByteArray server = "srv/server-" + QByteArray::number(qulonglong(st.st_dev), 16) + "-"
            + QByteArray::number(qulonglong(st.st_ino), 16);
        box.makeDir(server);
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.serverFolderParents = {box.path("srv")}; });
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        int stop[2];
        QVERIFY(::pipe(stop) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGTERM, SIG_DFL); // the test framework's handler would catch the stop
            ::close(stop[1]);
            const int fd = ::open(box.path(server + "/lock").constData(), O_RDWR | O_CREAT, 0600);
            struct flock fl {};
            fl.l_type = F_WRLCK;
            ::fcntl(fd, F_SETLK, &fl);
            (void)!::write(ready[1], "x", 1);
            char c;
            (void)!::read(stop[0], &c, 1);
            ::_exit(0);
        }
        ::close(stop[0]);
        ::close(ready[1]);
        char c;
        QVERIFY(::read(ready[0], &c, 1) == 1);
        ::close(ready[0]);
        // The server program the box runs: it logs how it was called and,
        // told to kill, ends the process holding the lock; told to wait, it
        // returns once that process has ended (its lock is gone with it), as
        // the real one does.
        const QByteArray pid = QByteArray::number(child);
        box.makeFile("serverbin/wineserver",
                     "#!/bin/sh\necho \"$WINEPREFIX $*\" >> " + box.path("server.log") + "\n[ \"$1\" = -k ] && kill "
                         + pid + "\n[ \"$1\" = -w ] && while [ -e /proc/" + pid + " ] && ! grep -q '^State:.*Z' /proc/"
                         + pid + "/status; do sleep 0.01; done\nexit 0\n");
        QVERIFY(::chmod(box.path("serverbin/wineserver").constData(), 0755) == 0);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", box.path("serverbin") + ":" + path);
        qunsetenv("WINESERVER");

        TMainForm form;
        form.FormShow();
        box.boxAnswer = MsgResult::No;
        form.PagefileMenuItem->trigger();
        QVERIFY(!form.PagefileMenuItem->isChecked());
        QCOMPARE(box.read("prefix/system.reg"), kMachine);
        QCOMPARE(box.boxes, QStringList{ServerStopOffer::question(QStringLiteral("prefix"), box.pathText("prefix"))});
        QVERIFY(!box.exists("server.log"));

        // A server program others may write could be anyone's code: a Yes
        // runs nothing then, and so does one named by no absolute path.
        box.boxAnswer = MsgResult::Yes;
        QVERIFY(::chmod(box.path("serverbin/wineserver").constData(), 0777) == 0);
        form.PagefileMenuItem->trigger();
        qputenv("WINESERVER", "serverbin/wineserver");
        QVERIFY(::chmod(box.path("serverbin/wineserver").constData(), 0755) == 0);
        form.PagefileMenuItem->trigger();
        qunsetenv("WINESERVER");
        QVERIFY(!form.PagefileMenuItem->isChecked());
        QVERIFY(!box.exists("server.log"));
        box.boxes.clear();

        form.PagefileMenuItem->trigger();
        QVERIFY(form.PagefileMenuItem->isChecked());
        QVERIFY(box.read("prefix/system.reg").contains("\"ClearPageFileAtShutdown\"=dword:00000001"));
        QCOMPARE(box.read("server.log"), box.path("prefix") + " -k\n" + box.path("prefix") + " -w\n");
        QCOMPARE(box.boxes.size(), 1);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        ::close(stop[1]);
        qputenv("PATH", path);
        qunsetenv("WINEPREFIX");
    }
};

QTEST_MAIN(TestRegistryDialogs)
#include "tst_registrydialogs.moc"
