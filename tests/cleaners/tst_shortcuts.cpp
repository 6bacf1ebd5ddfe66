// The shortcut checker with shortcut files written by the tests.

#include "cleaners/files/TLinkForm.h"
#include "cleaners/files/TdcShellLink.h"
#include "platform/MessagePump.h"
#include "support/LnkWriter.h"
#include "support/Sandbox.h"
#include "widgets/ReportListView.h"

#include <QCheckBox>
#include <QLabel>
#include <QStandardItemModel>
#include <QToolButton>
#include <QtTest>

class TestShortcuts : public QObject {
    Q_OBJECT
    Sandbox box;

    void shortcut(const QByteArray& rel, const QString& target)
    {
        box.makeDir(rel.left(rel.lastIndexOf('/')));
        LnkSpec spec;
        spec.localTarget = target;
        QVERIFY(LnkWriter::write(box.path(rel), spec));
    }

    static QStringList rows(const TLinkForm& form)
    {
        QStringList out;
        for (int r = 0; r < form.LinkModel->rowCount(); ++r)
            out << form.LinkModel->item(r, 0)->text() + " -> " + form.LinkModel->item(r, 1)->text();
        return out;
    }

    TLinkForm* open()
    {
        auto* form = new TLinkForm;
        form->show();
        return form;
    }

private Q_SLOTS:
    void init()
    {
        QDir(box.pathText("c")).removeRecursively();
        QDir(box.pathText("d")).removeRecursively();
        box.setDrives({{'c', "c"}, {'d', "d"}});
        platform::MessagePump::setHook({});
    }

    void theLinkComponentReadsEveryField()
    {
        LnkSpec spec;
        spec.localTarget = QStringLiteral("C:\\Program Files\\App\\app.exe");
        spec.arguments = QStringLiteral("--fast");
        spec.workingDirectory = QStringLiteral("C:\\Program Files\\App");
        spec.description = QStringLiteral("Приложение");
        spec.iconLocation = QStringLiteral("C:\\icons.dll");
        spec.iconIndex = 3;
        spec.showCommand = 3;
        spec.hotKey = 0x0341; // Ctrl+Shift+A
        box.makeDir("c/links");
        QVERIFY(LnkWriter::write(box.path("c/links/app.lnk"), spec));
        TdcShellLink link;
        link.SetFILENAME(QStringLiteral("c:\\links\\app.lnk"));
        QCOMPARE(link.LinkTarget, spec.localTarget);
        QCOMPARE(link.Parameters, spec.arguments);
        QCOMPARE(link.WorkingDirectory, spec.workingDirectory);
        QCOMPARE(link.ShortDescription, spec.description);
        QCOMPARE(link.IconLocation, spec.iconLocation);
        QCOMPARE(link.IconIndex, 3);
        QCOMPARE(link.RunAs, TdcShellLinkRunAs::raMaximized);
        QCOMPARE(link.HotKey, quint16(0x6041));
        QCOMPARE(TdcShellLink::ShortCutOf(0x0C2E), quint16(0x882E)); // Alt + extended key

        box.makeFile("c/links/broken.lnk", QByteArray("L\0\0\0garbage", 11));
        link.SetFILENAME(QStringLiteral("c:\\links\\broken.lnk"));
        QVERIFY(!link.LoadLink());
        QVERIFY(link.LinkTarget.isEmpty());
        link.SetFILENAME(QStringLiteral("c:\\links\\none.lnk"));
        QVERIFY(!link.LoadLink());

        // A link is never read through, neither in the shortcut's place nor
        // on the way to it.
        QVERIFY(QFile::link(box.pathText("c/links/app.lnk"), box.pathText("c/links/alias.lnk")));
        QVERIFY(QFile::link(box.pathText("c/links"), box.pathText("c/via")));
        for (const char* path : {"c:\\links\\alias.lnk", "c:\\via\\app.lnk"}) {
            link.SetFILENAME(QString::fromLatin1(path));
            QVERIFY(!link.LoadLink());
        }
    }

    void onlyProgramsAreCheckedWhenAsked()
    {
        shortcut("c/desk/upper.lnk", QStringLiteral("C:\\OLD\\APP.EXE"));
        shortcut("c/desk/lower.lnk", QStringLiteral("C:\\OLD\\app.exe"));
        shortcut("c/desk/doc.lnk", QStringLiteral("C:\\DOCS\\a.txt"));
        shortcut("c/desk/folder.lnk", QStringLiteral("C:\\DOCS\\OLD"));
        box.makeFile("c/bin/tool.exe");
        shortcut("c/desk/sound.lnk", QStringLiteral("C:\\bin\\tool.exe"));
        std::unique_ptr<TLinkForm> form(open());
        form->SrcLinkBtnClick();
        QCOMPARE(rows(*form), QStringList({"C:\\desk\\lower.lnk -> C:\\OLD\\app.exe"}));
        QCOMPARE(form->Pane->text(), QStringLiteral("Поиск окончен    Всего ярлыков - 2    Ошибочных - 1"));

        form->ProgCheck->setChecked(false);
        form->SrcLinkBtnClick();
        QCOMPARE(rows(*form),
                 QStringList({"C:\\desk\\upper.lnk -> C:\\OLD\\APP.EXE", "C:\\desk\\lower.lnk -> C:\\OLD\\app.exe",
                              "C:\\desk\\doc.lnk -> C:\\DOCS\\a.txt"}));
        QCOMPARE(form->BrokenLinkCount, 3);
        QCOMPARE(form->LinkCount, 4); // folder.lnk is not judged
    }

    void targetsOffTheFixedDrivesAndDamagedFilesAreSkipped()
    {
        LnkSpec net;
        net.networkShare = QStringLiteral("\\\\server\\share");
        net.networkSuffix = QStringLiteral("app.exe");
        QVERIFY(LnkWriter::write(box.path("c/net.lnk"), net));
        shortcut("c/cd.lnk", QStringLiteral("E:\\setup.exe"));
        box.makeFile("c/damaged.lnk", "not a shortcut at all");
        // A lone surrogate in a string: damaged, though its target is whole.
        LnkSpec lone;
        lone.localTarget = QStringLiteral("D:\\lost.exe");
        lone.description = QStringLiteral("x") + QChar(0xDC00);
        QVERIFY(LnkWriter::write(box.path("d/lone.lnk"), lone));
        shortcut("d/other.lnk", QStringLiteral("D:\\gone.exe"));
        std::unique_ptr<TLinkForm> form(open());
        QCOMPARE(form->FixedDriveLetters, QStringLiteral("CD"));
        form->SrcLinkBtnClick();
        QCOMPARE(rows(*form), QStringList({"D:\\other.lnk -> D:\\gone.exe"}));
        QCOMPARE(form->Pane->text(), QStringLiteral("Поиск окончен    Всего ярлыков - 1    Ошибочных - 1"));
    }

    // Shortcuts made to crash or over-read the reader (a size liblnk
    // answers as SIZE_MAX, a link info claiming under 4 bytes, a network
    // name running past its block) are unreadable: never counted.
    void hostileShortcutsAreUnreadable_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* name : {"local-path-at-end.lnk", "network-path-at-end.lnk", "link-info-under-4.lnk",
                                 "network-name-unterminated.lnk"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void hostileShortcutsAreUnreadable()
    {
        QFETCH(QString, file);
        QFile in(QStringLiteral(VARNEL_SHORTCUT_CORPUS "/") + file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        box.makeFile("c/hostile.lnk", in.readAll());
        TdcShellLink link;
        link.SetFILENAME(QStringLiteral("c:\\hostile.lnk"));
        QVERIFY(!link.LoadLink());
        shortcut("c/gone.lnk", QStringLiteral("C:\\gone.exe"));
        std::unique_ptr<TLinkForm> form(open());
        form->SrcLinkBtnClick();
        QCOMPARE(rows(*form), QStringList({"C:\\gone.lnk -> C:\\gone.exe"}));
        QCOMPARE(form->LinkCount, 1);
    }

    void stopKeepsWhatWasFoundAndDeletionRecycles()
    {
        for (int i = 0; i < 6; ++i)
            shortcut("c/many/l" + QByteArray::number(i) + ".lnk", QStringLiteral("C:\\gone%1.exe").arg(i));
        std::unique_ptr<TLinkForm> form(open());
        int pumps = 0;
        platform::MessagePump::setHook([&] {
            if (++pumps == 5)
                form->StopBtnClick();
        });
        form->SrcLinkBtnClick();
        platform::MessagePump::setHook({});
        const int kept = form->LinkModel->rowCount();
        QVERIFY(kept > 0 && kept < 6);
        QCOMPARE(form->Pane->text(), QStringLiteral("Поиск окончен    Всего ярлыков - %1    Ошибочных - %1").arg(kept));
        QVERIFY(form->SrcLinkBtn->isEnabled() && form->ExitBtn->isEnabled() && form->DelLinkBtn->isEnabled());

        form->DelLinkBtnClick();
        QCOMPARE(form->Pane->text(), QStringLiteral("Ярлыки удалены"));
        QCOMPARE(form->LinkModel->rowCount(), 0);
        QCOMPARE(QDir(box.pathText("home/data/Trash/files")).entryList({"l*.lnk"}).size(), kept);
        QCOMPARE(QDir(box.pathText("c/many")).entryList({"*.lnk"}).size(), 6 - kept);
        form->DelLinkBtnClick(); // an empty list: nothing happens on disk
        QCOMPARE(QDir(box.pathText("c/many")).entryList({"*.lnk"}).size(), 6 - kept);
    }
};

QTEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
