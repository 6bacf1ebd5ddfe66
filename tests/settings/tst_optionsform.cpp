// The options dialog driven through its handlers and controls against a
// sandbox settings file.

#include "platform/TestSeams.h"
#include "platform/AtomicFile.h"
#include "settings/Settings.h"
#include "settings/SettingsList.h"
#include "settings/TOptionsForm.h"
#include "support/Sandbox.h"
#include "widgets/CheckListBox.h"
#include "widgets/DirDialog.h"
#include "widgets/DriveBox.h"
#include "platform/PathMapper.h"
#include "platform/ShellOpen.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

class TestOptionsForm : public QObject {
    Q_OBJECT
    Sandbox box;

    QByteArray file() const { return box.read("bin/varnel.ini"); }

    static QStringList checks(const CheckListBox& list)
    {
        QStringList out;
        for (int i = 0; i < list.count(); ++i)
            out << list.texts().at(i) + (list.isChecked(i) ? "+" : "-");
        return out;
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(box.pathText("bin/varnel.ini"));
        QFile::remove(box.pathText("bin/plugins.list"));
        for (const QString& name : QDir(box.pathText("bin")).entryList({"varnel.ini.*.new"}))
            QFile::remove(box.pathText("bin/" + name.toUtf8()));
        box.setDrives({{'c', "c"}, {'d', "d"}});
    }

    void firstOpenShowsTheDefaultsAndWritesNothing()
    {
        TOptionsForm form;
        form.show();
        for (QCheckBox* on : {form.AllDiskCheck, form.TempDirsCheck, form.RecycleCheck, form.XPMenuCheck,
                              form.TempCheck, form.BAKCheck, form.CustomCheck})
            QVERIFY2(on->isChecked(), qPrintable(on->objectName()));
        for (QCheckBox* off :
             {form.DiskCheck, form.NoSysCheck, form.SeparCheck, form.OldCheck, form.GidCheck, form.AutoSearchCheck})
            QVERIFY2(!off->isChecked(), qPrintable(off->objectName()));
        QCOMPARE(form.DriveCombobox->currentIndex(), 0);
        QCOMPARE(form.DriveCombobox->currentText(), QStringLiteral("C: "));
        QCOMPARE(form.FiltersList->count(), 0);
        QCOMPARE(form.ExDirsList->count(), 0);
        QVERIFY(!form.ApplyBtn->isEnabled());
        QCOMPARE(form.PlugList->item(0)->text(), QStringLiteral("Нет установленных плагинов"));
        QCOMPARE(form.size(), QSize(670, 520));
        QCOMPARE(form.windowTitle(), QStringLiteral(" Настройки Varnel"));
        QCOMPARE(form.DiskCheck->toolTip(), QStringLiteral("Поиск на отдельном диске"));
        form.ExitBtnClick();
        QVERIFY(!box.exists("bin/varnel.ini"));
    }

    void aFirstApplyWritesEveryKeyInOrder()
    {
        TOptionsForm form;
        form.show();
        form.ApplyBtnClick();
        QCOMPARE(file(),
                 QByteArray("[Search]\r\nDisk=All\r\nTempFolders=Yes\r\nTempFiles=Yes\r\nBAKFiles=Yes\r\n"
                            "OLDFiles=No\r\nGIDFiles=No\r\nAutoStart=No\r\nCustomFiles=Yes\r\n"
                            "[Delete]\r\nRecycle=Yes\r\nInSysFolders=No\r\n"
                            "[View]\r\nXPMenu=Yes\r\nSeparators=No\r\n"
                            "[CFilters]\r\nItems=0\r\n[ExDirs]\r\nItems=0\r\n"));
        QVERIFY(!form.ApplyBtn->isEnabled());
    }

    void listsLoadReversedAndSaveRenumbered()
    {
        WriteSetting("CFilters", "Items", "3");
        WriteSetting("CFilters", "Filter0", "a");
        WriteSetting("CFilters", "StateFilter0", "1");
        WriteSetting("CFilters", "Filter1", "b");
        WriteSetting("CFilters", "StateFilter1", "0");
        WriteSetting("CFilters", "Filter2", "c");
        WriteSetting("CFilters", "StateFilter2", "1");
        WriteSetting("ExDirs", "Items", "2"); // only Dir0 is there
        WriteSetting("ExDirs", "Dir0", "c:\\keep");
        WriteSetting("ExDirs", "State0", "1");
        TOptionsForm form;
        form.show();
        QCOMPARE(checks(*form.FiltersList), QStringList({"c+", "b-", "a+"}));
        QCOMPARE(checks(*form.ExDirsList), QStringList({"-", "c:\\keep+"}));
        form.ApplyBtnClick();
        QCOMPARE(ReadSetting("CFilters", "Filter0", ""), QStringLiteral("c"));
        QCOMPARE(ReadSetting("CFilters", "StateFilter0", ""), QStringLiteral("1"));
        QCOMPARE(ReadSetting("CFilters", "Filter1", ""), QStringLiteral("b"));
        QCOMPARE(ReadSetting("CFilters", "StateFilter1", ""), QStringLiteral("0"));
        QCOMPARE(ReadSetting("CFilters", "Filter2", ""), QStringLiteral("a"));
        QCOMPARE(ReadSetting("ExDirs", "Dir1", "x"), QStringLiteral("c:\\keep"));
        QCOMPARE(ReadSetting("ExDirs", "Dir0", "x"), QString());

        WriteSetting("CFilters", "Items", "many");
        TOptionsForm again;
        again.show();
        QCOMPARE(again.FiltersList->count(), 0);
    }

    void aWholeApplyIsOneReplacementOfTheFile()
    {
        WriteSetting("ExDirs", "Items", "1");
        WriteSetting("ExDirs", "Dir0", "c:\\old");
        WriteSetting("ExDirs", "State0", "1");
        TOptionsForm form;
        form.show();
        for (int n = 0; n < 300; ++n)
            form.ExDirsList->insertTop("c:\\new" + QString::number(n), true);
        form.FiltersList->insertTop("*.log", true);

        // Killed as the new file is about to replace the old one: the old
        // settings stay whole, the old list with them.
        const QByteArray before = file();
        const pid_t child = ::fork();
        if (child == 0) {
            platform::testseams::setBeforeReplaceHook([] { ::kill(::getpid(), SIGKILL); });
            form.ApplyBtnClick();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(file(), before);

        int replacements = 0;
        platform::testseams::setBeforeReplaceHook([&] { ++replacements; });
        form.ApplyBtnClick();
        platform::testseams::setBeforeReplaceHook(nullptr);
        QCOMPARE(replacements, 1);
        QCOMPARE(ReadSetting("ExDirs", "Items", ""), QStringLiteral("301"));
        QCOMPARE(ReadSetting("ExDirs", "Dir300", ""), QStringLiteral("c:\\old"));
        QCOMPARE(ReadSetting("CFilters", "Filter0", ""), QStringLiteral("*.log"));
        QCOMPARE(ReadSetting("Search", "Disk", ""), QStringLiteral("All"));
        RemoveStaleSettingsFiles(); // the killed child's new file is too fresh to go
        QCOMPARE(QDir(box.pathText("bin")).entryList({"varnel.ini.*.new"}).size(), 1);
    }

    void aHugeStoredCountShowsTheCap()
    {
        WriteSetting("ExDirs", "Items", "2000000000");
        WriteSetting("ExDirs", "Dir0", "c:\\first");
        WriteSetting("ExDirs", "State0", "1");
        TOptionsForm form;
        form.show();
        QCOMPARE(form.ExDirsList->count(), SettingsListCap);
        QCOMPARE(checks(*form.ExDirsList).last(), QStringLiteral("c:\\first+"));
    }

    void theDiskPairStaysOppositeUnderMouseAndKeyboard()
    {
        TOptionsForm form;
        form.show();
        QTest::mouseClick(form.DiskCheck, Qt::LeftButton);
        QVERIFY(form.DiskCheck->isChecked() && !form.AllDiskCheck->isChecked());
        QVERIFY(form.ApplyBtn->isEnabled());
        form.AllDiskCheck->setFocus();
        QTest::keyClick(form.AllDiskCheck, Qt::Key_Space);
        QVERIFY(form.AllDiskCheck->isChecked() && !form.DiskCheck->isChecked());
        QTest::keyClick(form.DiskCheck, Qt::Key_Space);
        QVERIFY(form.DiskCheck->isChecked());
        form.DriveCombobox->setCurrentIndex(1);
        form.ApplyBtnClick();
        QCOMPARE(ReadSetting("Search", "Disk", ""), QStringLiteral("1"));
    }

    void everyUserChangeEnablesApply()
    {
        TOptionsForm form;
        form.show();
        const auto enabledBy = [&](const std::function<void()>& change) {
            form.ApplyBtn->setEnabled(false);
            change();
            return form.ApplyBtn->isEnabled();
        };
        QVERIFY(enabledBy([&] { QTest::mouseClick(form.FiltersList->viewport(), Qt::LeftButton); }));
        QVERIFY(enabledBy([&] { QTest::mouseClick(form.ExDirsList->viewport(), Qt::LeftButton); }));
        for (QCheckBox* c :
             {form.TempDirsCheck, form.NoSysCheck, form.AutoSearchCheck, form.TempCheck, form.BAKCheck, form.OldCheck,
              form.GidCheck, form.CustomCheck, form.RecycleCheck, form.XPMenuCheck, form.SeparCheck})
            QVERIFY2(enabledBy([&] { QTest::mouseClick(c, Qt::LeftButton); }), qPrintable(c->objectName()));
        QVERIFY(enabledBy([&] { form.DelBtnClick(); })); // nothing selected, nothing removed
        QVERIFY(enabledBy([&] { form.RemDirBtnClick(); }));
        QVERIFY(!enabledBy([&] { form.FormShow(); })); // loading is no change
    }

    void customFiltersSwitchTheFilterControls()
    {
        TOptionsForm form;
        form.show();
        QTest::mouseClick(form.CustomCheck, Qt::LeftButton);
        QVERIFY(!form.CustomCheck->isChecked());
        for (QWidget* w : {static_cast<QWidget*>(form.FiltersList), static_cast<QWidget*>(form.FilterEdit),
                           static_cast<QWidget*>(form.AddBtn), static_cast<QWidget*>(form.DelBtn)})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(form.FiltersList->palette().color(QPalette::Base), form.palette().color(QPalette::Button));
        QVERIFY(form.ExDirsList->isEnabled() && form.AddDirBtn->isEnabled());
        QTest::mouseClick(form.CustomCheck, Qt::LeftButton);
        QVERIFY(form.FilterEdit->isEnabled());
    }

    void listButtonsAddAtTheTop()
    {
        TOptionsForm form;
        form.show();
        form.FilterEdit->setText(QStringLiteral(" *.log "));
        form.AddBtnClick();
        form.AddBtnClick(); // duplicates are taken
        QCOMPARE(checks(*form.FiltersList), QStringList({" *.log -", " *.log -"}));
        QCOMPARE(form.FilterEdit->text(), QStringLiteral(" *.log "));
        form.FiltersList->setCurrentRow(1);
        form.DelBtnClick();
        QCOMPARE(form.FiltersList->count(), 1);

        QStringList answers{"c:\\data", ""};
        form.ChooseFolder = [&]() -> std::optional<QString> {
            const QString a = answers.takeFirst();
            return a.isEmpty() ? std::nullopt : std::optional<QString>(a);
        };
        form.AddDirBtnClick();
        form.ApplyBtn->setEnabled(false);
        form.AddDirBtnClick(); // cancelled
        QVERIFY(form.ApplyBtn->isEnabled());
        QCOMPARE(checks(*form.ExDirsList), QStringList({"c:\\data+"}));
    }

    void closingWithoutApplyLosesTheChanges()
    {
        WriteSetting("View", "XPMenu", "Yes");
        const QByteArray before = file();
        TOptionsForm form;
        form.show();
        QTest::mouseClick(form.XPMenuCheck, Qt::LeftButton);
        form.close();
        QCOMPARE(file(), before);
    }

    void aStoredDiskBeyondTheDrivesShowsNone()
    {
        WriteSetting("Search", "Disk", "7");
        TOptionsForm form;
        form.show();
        QVERIFY(form.DiskCheck->isChecked());
        QCOMPARE(form.DriveCombobox->currentIndex(), -1);
        form.ApplyBtnClick();
        QCOMPARE(ReadSetting("Search", "Disk", ""), QStringLiteral("7")); // never "-1"
    }

    void pluginListComesFromTheListFile()
    {
        box.makeFile("bin/plugins.list", "First plug-in\r\nВторой\r\n");
        TOptionsForm form;
        form.show();
        QCOMPARE(form.PlugList->count(), 2);
        QCOMPARE(form.PlugList->item(1)->text(), QStringLiteral("Второй"));
    }

    void theFolderChooserWalksFixedDrives()
    {
        box.makeDir("c/work/Alpha");
        box.makeDir("c/work/beta");
        box.makeFile("c/work/file.txt");
        QVERIFY(platform::PathMapper::setCurrentDirectory("c:\\work"));
        DirDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral(" Выбор каталога"));
        QCOMPARE(dialog.directory(), QStringLiteral("c:\\work"));
        QStringList rows;
        for (int i = 0; i < dialog.FolderList->count(); ++i)
            rows << dialog.FolderList->item(i)->text().trimmed();
        QCOMPARE(rows, QStringList({"c:\\", "work", "Alpha", "beta"}));
        QCOMPARE(dialog.DriveList->itemTexts(), QStringList({"c: ", "d: "}));
        dialog.FolderList->setCurrentRow(3);
        Q_EMIT dialog.FolderList->itemActivated(dialog.FolderList->item(3));
        QCOMPARE(dialog.directory(), QStringLiteral("c:\\work\\beta"));
        QVERIFY(!dialog.setDirectory("z:\\usr")); // not a fixed drive
        QVERIFY(!dialog.setDirectory("c:\\missing"));
        dialog.DirEdit->setText(QStringLiteral("C:\\WORK\\ALPHA"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.directory(), QStringLiteral("c:\\work\\Alpha"));

        // A typed host path means its place on the drives; one off them or
        // missing keeps the dialog open on the folder shown.
        const struct {
            QString typed;
            bool accepted;
            QString folder;
        } typed[] = {
            {box.pathText("c/work/beta"), true, QStringLiteral("c:\\work\\beta")},
            {box.pathText("c/work/beta/"), true, QStringLiteral("c:\\work\\beta")},
            {box.pathText("c/work/missing"), false, QStringLiteral("c:\\work\\Alpha")},
            {QStringLiteral("/proc"), false, QStringLiteral("c:\\work\\Alpha")},
        };
        for (const auto& t : typed) {
            DirDialog chooser;
            chooser.setDirectory(QStringLiteral("c:\\work\\Alpha"));
            chooser.DirEdit->setText(t.typed);
            chooser.accept();
            QCOMPARE(chooser.result() == QDialog::Accepted, t.accepted);
            QCOMPARE(chooser.directory(), t.folder);
        }
    }

    void theFolderChoosersHelpOpensTheOptionsPage()
    {
        QList<platform::ShellCall> calls;
        platform::ShellOpen::setCallHandler([&](const platform::ShellCall& call) {
            calls.append(call);
            return true;
        });
        DirDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.HelpBtn->click();
        QTest::keyClick(&dialog, Qt::Key_F1);
        platform::ShellOpen::setCallHandler({});
        QCOMPARE(calls.size(), 2);
        for (const platform::ShellCall& call : calls)
            QVERIFY2(call.target.endsWith(QStringLiteral("vrhelp.dll/options.htm")), qPrintable(call.target));
    }
};

QTEST_MAIN(TestOptionsForm)
#include "tst_optionsform.moc"
