// The zero-byte file finder on sandbox drives.

#include "cleaners/files/TEFileForm.h"
#include "cleaners/files/TLarFileFind.h"
#include "cleaners/files/TdcFileInfo.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "support/Sandbox.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QLabel>
#include <QStandardItemModel>
#include <QtTest>

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

using platform::MsgResult;

class TestZeroBytes : public QObject {
    Q_OBJECT
    Sandbox box;

    static QStringList rows(const TEFileForm& form)
    {
        QStringList out;
        for (int r = 0; r < form.FileModel->rowCount(); ++r)
            out << form.FileModel->item(r)->text();
        return out;
    }

private Q_SLOTS:
    void init()
    {
        box.boxes.clear();
        box.boxAnswer = MsgResult::Yes;
        QDir(box.pathText("c")).removeRecursively();
        box.setDrives({{'c', "c"}});
        platform::MessagePump::setHook({});
    }

    void finderReportsFilesBeforeSubfoldersAndSkipsFolders()
    {
        box.makeFile("c/top/b.txt");
        box.makeFile("c/top/a.log");
        box.makeFile("c/top/sub/c.txt");
        box.makeDir("c/top/emptydir");
        QVERIFY(QFile::link(box.pathText("c/top/sub"), box.pathText("c/top/link-to-sub")));
        TLarFileFind finder;
        QStringList found;
        finder.FilePath = QStringLiteral("c:\\top");
        finder.OnFind = [&](QObject*, const QString& f) { found << f; };
        QVERIFY(finder.Execute());
        QCOMPARE(found,
                 QStringList({"c:\\top\\a.log", "c:\\top\\b.txt", "c:\\top\\link-to-sub", "c:\\top\\sub\\c.txt"}));

        found.clear();
        finder.FileMask = QStringLiteral("*.txt");
        finder.StopOnFirstFind = true;
        finder.Execute();
        QCOMPARE(found, QStringList({"c:\\top\\b.txt"}));
        finder.FilePath.clear();
        found.clear();
        finder.Execute();
        QVERIFY(found.isEmpty());
    }

    void fileInfoReadsTheFileSpelledAsAsked()
    {
        box.makeFile("c/twins/A.TXT", "upper");
        box.makeFile("c/twins/a.txt", "");
        TdcFileInfo info;
        info.SetFILENAME(QStringLiteral("c:\\twins\\a.txt"));
        QVERIFY(info.Found());
        QCOMPARE(info.FileSize, quint64(0));
        QCOMPARE(info.DisplayName, QStringLiteral("a.txt"));
        info.SetFILENAME(QStringLiteral("c:\\twins\\A.TXT"));
        QCOMPARE(info.FileSize, quint64(5));
        QVERIFY(info.FileAttributes & fiaArchive);
        QVERIFY(info.TimeLastModified.isValid());
        QCOMPARE(info.TimeLastModified.time().second() % 2, 0);
        info.SetFILENAME(QStringLiteral("c:\\twins\\missing.txt"));
        QVERIFY(!info.Found());
        QCOMPARE(info.FileSize, quint64(0));
        QVERIFY(!info.Refresh());
    }

    void zeroByteFilesAreListedHiddenAndSystemToo()
    {
        box.makeFile("c/data/full.txt", "x");
        box.makeFile("c/data/empty.txt", "");
        box.makeFile("c/data/.hidden", "");
        box.makeFile("c/data/system.sys", "");
        ::setxattr(box.path("c/data/system.sys").constData(), "user.DOSATTRIB", "0x4", 3, 0);
        box.makeDir("c/data/emptydir");
        const int fd = ::open(box.path("c/data/four-gib.bin").constData(), O_CREAT | O_WRONLY, 0644);
        QCOMPARE(::ftruncate(fd, 1LL << 32), 0); // low 32 bits of the size are zero
        ::close(fd);
        TEFileForm form;
        QStringList statuses;
        platform::MessagePump::setHook([&] { statuses << form.StatPane->text(); });
        form.Drive->setCurrentIndex(0);
        form.SrcfileBtnClick();
        QCOMPARE(rows(form), QStringList({"C:\\DATA\\SYSTEM.SYS", "C:\\DATA\\EMPTY.TXT", "C:\\DATA\\.HIDDEN"}));
        QCOMPARE(form.StatPane->text(), QStringLiteral("Поиск завершен...   Файлов найдено - 3"));
        QVERIFY(statuses.contains("Идет поиск...   Проверка: C:\\data\\four-gib.bin"));
    }

    void deletingTouchesTheFilesFoundOnly()
    {
        box.makeFile("c/d/A.TXT", "keep");
        box.makeFile("c/d/a.txt", "");
        box.makeFile("c/d/z.txt", "");
        TEFileForm form;
        form.SrcfileBtnClick();
        QCOMPARE(rows(form), QStringList({"C:\\D\\Z.TXT", "C:\\D\\A.TXT"}));
        box.boxAnswer = MsgResult::Cancel;
        form.DelfileBtnClick();
        QCOMPARE(form.FileModel->rowCount(), 2);
        box.boxAnswer = MsgResult::Yes;
        form.FileView->selectRow(1);
        form.DelSelectedFilesItemClick();
        QCOMPARE(box.boxes.last(), QStringLiteral("ВНИМАНИЕ! Все выделенные файлы будут удалены. Продолжить?"));
        QVERIFY(!box.exists("c/d/a.txt"));
        QCOMPARE(box.read("c/d/A.TXT"), QByteArray("keep"));
        QCOMPARE(rows(form), QStringList({"C:\\D\\Z.TXT"}));
        form.FileView->selectRow(0);
        form.DelFFromListItemClick();
        QVERIFY(box.exists("c/d/z.txt"));
        form.DellAllFilesItemClick(); // empty list: asks, deletes nothing
        QCOMPARE(box.boxes.last(), QStringLiteral("ВНИМАНИЕ! Все найденные файлы будут удалены. Продолжить?"));
        QCOMPARE(form.StatPane->text(), QStringLiteral("Файлы удалены"));
        QVERIFY(box.exists("c/d/z.txt"));
    }

    void aSecondSearchInsideTheFirstIsIgnored()
    {
        box.makeFile("c/x/one", "");
        box.makeFile("c/x/two", "");
        TEFileForm form;
        int nested = 0;
        platform::MessagePump::setHook([&] {
            if (nested++ == 0)
                form.SrcfileBtnClick();
        });
        form.SrcfileBtnClick();
        QCOMPARE(form.FileModel->rowCount(), 2);
        QVERIFY(!form.EFSearch.Searching());
    }
};

QTEST_MAIN(TestZeroBytes)
#include "tst_zerobytes.moc"
