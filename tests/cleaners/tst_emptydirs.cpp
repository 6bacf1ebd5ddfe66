// The empty-directory finder on sandbox drives.

#include "cleaners/files/EmptyFolders.h"
#include "cleaners/files/TEDirForm.h"
#include "cleaners/files/TEFileForm.h"
#include "widgets/ToolWindowKit.h"
#include "cleaners/files/TFindDirs.h"
#include "platform/TestSeams.h"
#include "platform/DriveTable.h"
#include "platform/FolderListing.h"
#include "platform/FolderReadAhead.h"
#include "platform/MessageBoxService.h"
#include "platform/PackageFiles.h"
#include "platform/ShellOpen.h"
#include "platform/TickCounter.h"
#include "support/Sandbox.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QToolButton>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using platform::MessageBoxService;
using platform::MsgResult;

class TestEmptyDirs : public QObject {
    Q_OBJECT
    Sandbox box;

    static QStringList rows(const TEDirForm& form)
    {
        QStringList out;
        for (int r = 0; r < form.DirsModel->rowCount(); ++r)
            out << form.DirsModel->item(r)->text();
        return out;
    }

    void search(TEDirForm& form)
    {
        form.Drive->setCurrentIndex(0);
        form.SrcBtnClick();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The 200 ms pause after listing passes at once.
        static quint32 clock = 0;
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.clock = [] { return clock += 100; }; });
    }

    void init()
    {
        box.boxes.clear();
        box.boxAnswer = MsgResult::Yes;
        QDir(box.pathText("c")).removeRecursively();
        box.setDrives({{'c', "c"}});
        platform::testseams::setAccessFilter({});
    }

    void walkerListsFoldersInPostOrder()
    {
        box.makeDir("c/A/B");
        box.makeDir("c/A/.hidden/inner");
        box.makeFile("c/file.txt");
        TFindDirs walker;
        walker.StartDir = QStringLiteral("C:\\");
        walker.Execute();
        QCOMPARE(walker.DirsFound, QStringList({"C:\\\\A\\B", "C:\\\\A"}));
        QCOMPARE(TFindDirs::PathOf("C:\\\\A\\B"), QStringLiteral("C:\\A\\B"));

        TFindDirs flat;
        flat.StartDir = QStringLiteral("C:\\");
        flat.Recursive = false;
        flat.Execute();
        QCOMPARE(flat.DirsFound, QStringList({"C:\\\\A"}));

        TFindDirs missing;
        missing.StartDir = QStringLiteral("Q:\\");
        missing.DirsFound = {"kept"};
        missing.Execute();
        QCOMPARE(missing.DirsFound, QStringList({"kept"}));
    }

    // The walk's own judgment of a folder is what reading it again would
    // find, over random trees of empty and full files, hidden folders,
    // FIFOs, links, packaged files and folders that cannot be read; with
    // readers going ahead of it (handing it their listings, fetching the
    // files it looks at) it finds and judges the same.
    void theWalkJudgesEachFolderAsASecondReadingWould()
    {
        QRandomGenerator random(7);
        int judged = 0, empty = 0;
        for (int tree = 0; tree < 40; ++tree) {
            init();
            QByteArrayList folders = {"c"};
            QByteArray packaged;
            for (int n = 0; n < 14; ++n) {
                const QByteArray parent = folders[random.bounded(folders.size())];
                const QByteArray name = QByteArray::number(n);
                switch (random.bounded(8)) {
                case 0: case 1: folders << parent + "/d" + name; box.makeDir(folders.last()); break;
                case 2: folders << parent + "/.h" + name; box.makeDir(folders.last()); break;
                case 3: box.makeFile(parent + "/z" + name, ""); break;
                case 4: box.makeFile(parent + "/f" + name, "x"); break;
                case 5: QCOMPARE(::mkfifo(box.path(parent + "/p" + name).constData(), 0600), 0); break;
                case 6: QVERIFY(QFile::link(box.pathText("c"), box.pathText(parent + "/l" + name))); break;
                case 7: box.makeFile(parent + "/k" + name, ""); packaged += box.path(parent + "/k" + name) + "\n"; break;
                }
            }
            box.makeFile("dpkg/info/pkg.list", packaged);
            platform::PackageFiles::forget();
            const QByteArray refused = box.path(folders[random.bounded(folders.size())]);
            platform::testseams::setAccessFilter(
                [refused](const QByteArray& host) { return host == refused && host.contains("/.h") ? EACCES : 0; });
            TFindDirs walker;
            walker.StartDir = QStringLiteral("C:\\");
            walker.Execute();
            QCOMPARE(walker.FoundContents.size(), walker.DirsFound.size());
            for (const platform::FolderReadAhead::Tuning& readers :
                 {platform::FolderReadAhead::Tuning{2, 2, true}, platform::FolderReadAhead::Tuning{4, 1000, true}}) {
                platform::testseams::setReadAheadTuning(readers);
                TFindDirs ahead;
                ahead.StartDir = walker.StartDir;
                ahead.Execute();
                platform::testseams::setReadAheadTuning({});
                QCOMPARE(ahead.DirsFound, walker.DirsFound);
                QCOMPARE(ahead.FoundIds, walker.FoundIds);
                QCOMPARE(ahead.FoundContents, walker.FoundContents);
            }
            for (qsizetype i = 0; i < walker.DirsFound.size(); ++i) {
                if (walker.FoundContents[i] == TFindDirs::Contents::Unknown)
                    continue;
                ++judged;
                const bool none = walker.FoundContents[i] == TFindDirs::Contents::Nothing;
                empty += none;
                QVERIFY2(none == (EmptyFolders::contentSize(TFindDirs::PathOf(walker.DirsFound[i])) == 0),
                         qPrintable(walker.DirsFound[i]));
            }
        }
        QVERIFY(judged > 40 && empty > 10 && judged - empty > 10);
    }

    void onlyTheLowestEmptyFolderIsListed()
    {
        box.makeDir("c/A/B");
        box.makeDir("c/DATA");
        box.makeDir("c/DATA2");
        box.makeFile("c/full/data.bin", "payload");
        TEDirForm form;
        search(form);
        QCOMPARE(rows(form), QStringList({"C:\\DATA2", "C:\\A\\B"}));
        QCOMPARE(form.StatPane->text(),
                 QStringLiteral("Поиск завершен       Проверено каталогов - 5       Пустых - 2"));

        form.DirsView->selectRow(1);
        form.DelSelectedDirsItemClick();
        QCOMPARE(box.boxes.last(), QStringLiteral("ВНИМАНИЕ! Все выделенные каталоги будут удалены. Продолжить?"));
        QVERIFY(!box.exists("c/A/B"));
        QCOMPARE(rows(form), QStringList({"C:\\DATA2"}));
        QCOMPARE(form.StatPane->text(), QStringLiteral("Каталоги удалены"));
        search(form);
        QVERIFY(rows(form).contains("C:\\A"));
    }

    void zeroByteFilesAndHiddenFoldersCountAsEmpty()
    {
        box.makeFile("c/zeros/a.tmp", "");
        box.makeFile("c/zeros/b.tmp", "");
        box.makeFile("c/hid/.cache/empty.dat", "");
        box.makeFile("c/other/.cache/full.dat", "x");
        box.makeDir("c/withlink");
        QVERIFY(QFile::link(box.pathText("c/zeros"), box.pathText("c/withlink/to-zeros")));
        TEDirForm form;
        search(form);
        QCOMPARE(rows(form), QStringList({"C:\\ZEROS", "C:\\HID"}));

        box.boxAnswer = MsgResult::No;
        form.DelBtnClick();
        QVERIFY(box.exists("c/zeros/a.tmp"));
        QCOMPARE(form.DirsModel->rowCount(), 2);
        box.boxAnswer = MsgResult::Yes;
        form.DellAllItemClick();
        QCOMPARE(box.boxes.last(), QStringLiteral("ВНИМАНИЕ! Все найденные каталоги будут удалены. Продолжить?"));
        QVERIFY(!box.exists("c/zeros"));
        QVERIFY(!box.exists("c/hid"));
        QVERIFY(box.exists("c/other/.cache/full.dat"));
        QVERIFY(QFileInfo(box.pathText("c/withlink/to-zeros"))
                    .isSymLink()); // the link survived: a folder holding one is not empty
        QCOMPARE(form.DirsModel->rowCount(), 0);
        QCOMPARE(form.StatPane->text(), QStringLiteral("Каталоги удалены"));

        form.DelBtnClick(); // an empty list still asks
        QCOMPARE(box.boxes.size(), 3);
    }

    void anUnreadableFolderEndsTheWalkAfterThePartialList()
    {
        box.makeDir("c/aaa");
        box.makeDir("c/locked/inside");
        box.makeDir("c/zzz");
        const QByteArray locked = box.path("c/locked");
        platform::testseams::setAccessFilter([locked](const QByteArray& host) { return host == locked ? EACCES : 0; });
        TEDirForm form;
        search(form);
        platform::testseams::setAccessFilter({});
        QCOMPARE(rows(form), QStringList({"C:\\AAA"}));
        QCOMPARE(form.StatPane->text(),
                 QStringLiteral("Поиск завершен       Проверено каталогов - 1       Пустых - 1"));
        QCOMPARE(box.boxes, QStringList({"File access denied"}));
        QVERIFY(form.DelBtn->isEnabled() && form.ExitBtn->isEnabled() && form.Drive->isEnabled());
    }

    void theRightFolderOfTwoSpellingsIsDeleted()
    {
        box.makeDir("c/Q");
        box.makeFile("c/q/keep.txt", "data");
        TEDirForm form;
        search(form);
        QCOMPARE(rows(form), QStringList({"C:\\Q"}));
        form.DellAllItemClick();
        QVERIFY(!box.exists("c/Q"));
        QCOMPARE(box.read("c/q/keep.txt"), QByteArray("data"));
    }

    void openingAndRemovingFromTheList()
    {
        for (const char* d : {"c/e1", "c/e2", "c/e3"})
            box.makeDir(d);
        TEDirForm form;
        search(form);
        QStringList opened;
        platform::ShellOpen::setHandler([&](const QString& t) {
            opened << t;
            return true;
        });
        form.DirsView->selectAll();
        form.OpenDirItemClick();
        platform::ShellOpen::setHandler({});
        QCOMPARE(opened, QStringList({"C:\\e3", "C:\\e2", "C:\\e1"}));
        form.DirsView->selectRow(0);
        form.DelFromListItemClick();
        QCOMPARE(form.DirsModel->rowCount(), 2);
        QVERIFY(box.exists("c/e3"));
        QVERIFY(box.boxes.isEmpty());
    }

    void anEmptyDriveGivesZeroCounts()
    {
        TEDirForm form;
        search(form);
        QCOMPARE(form.StatPane->text(),
                 QStringLiteral("Поиск завершен       Проверено каталогов - 0       Пустых - 0"));
        QCOMPARE(TEDirForm::DirContentSize("c:\\missing"), quint64(0));
    }

    // The same command shows the same picture in both windows, and a picture
    // that means deletion, not the options gear of the main menu.
    void deleteCommandsShowTheDeletionImage()
    {
        Q_INIT_RESOURCE(menuimages);
        const auto picture = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
        TEDirForm dirs;
        TEFileForm files;
        QVERIFY(!picture(dirs.DellAllItem->icon()).isNull());
        QCOMPARE(picture(dirs.DellAllItem->icon()), picture(files.DellAllFilesItem->icon()));
        QCOMPARE(picture(dirs.DelSelectedDirsItem->icon()), picture(files.DelSelectedFilesItem->icon()));
        QVERIFY(picture(dirs.DellAllItem->icon()) != picture(ToolWindowKit::menuImage(2)));
        QVERIFY(picture(dirs.DellAllItem->icon()) != picture(dirs.DelSelectedDirsItem->icon()));
        QVERIFY(picture(dirs.OpenDirItem->icon()) != picture(dirs.DellAllItem->icon()));
    }

    // A prefix's Windows folder and shell folders are its skeleton: Wine
    // and its programs expect them, empty or not.
    void aPrefixKeepsItsOwnFolders()
    {
        box.makeDir("prefix/drive_c/windows/temp");
        box.makeDir("prefix/drive_c/windows/system32/spool");
        box.makeDir("prefix/drive_c/users/u/Desktop");
        box.makeDir("prefix/drive_c/users/Public/Documents");
        box.makeDir("prefix/drive_c/users/u/old-empty");
        box.makeDir("prefix/dosdevices");
        QVERIFY(::symlink("../drive_c", box.path("prefix/dosdevices/c:").constData()) == 0);
        box.makeFile("prefix/system.reg",
                     "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                     "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
                     "\"Common Documents\"=\"C:\\\\users\\\\Public\\\\Documents\"\n");
        box.makeFile("prefix/user.reg",
                     "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                     "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
                     "\"Desktop\"=\"C:\\\\USERS\\\\u\\\\desktop\"\n");
        qunsetenv("VARNEL_DRIVES");
        qputenv("WINEPREFIX", box.path("prefix"));
        platform::DriveTable::reload();
        TEDirForm form;
        search(form);
        qunsetenv("WINEPREFIX");
        box.setDrives({{'c', "c"}});
        QCOMPARE(rows(form), QStringList({"C:\\USERS\\U\\OLD-EMPTY"}));
    }
};

QTEST_MAIN(TestEmptyDirs)
#include "tst_emptydirs.moc"
