// The estimate: fs.txt handed from the main window to the report, the drive
// totals, both bars and the recommendation, on drives of chosen sizes.

#include "app/TMainForm.h"
#include "app/TReportForm.h"
#include "cleaners/files/SizeEstimate.h"
#include "settings/TOptionsForm.h"
#include "widgets/FlatMenuStyle.h"
#include "widgets/ReportListView.h"
#include "platform/DriveTable.h"
#include "support/Sandbox.h"
#include "widgets/PartsProgressBar.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QtTest>

namespace {

constexpr quint64 MB = 1048576;

} // namespace

class TestReport : public QObject {
    Q_OBJECT
    Sandbox box;

    // Two fixed drives: c: 12 000 MB with 7 000 free, d: 8 000 MB with 3 000
    // free: 20 000 MB in all, 10 000 MB used.
    void giveDrivesSizes()
    {
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) {
            e.driveSpace = [](QChar letter) -> std::optional<platform::DriveSpace> {
                if (letter == u'c')
                    return platform::DriveSpace{12000 * MB, 7000 * MB};
                if (letter == u'd')
                    return platform::DriveSpace{8000 * MB, 3000 * MB};
                return std::nullopt;
            };
        });
    }

    struct Shown {
        QString all, used, found, advice;
        int usedPercent, foundPercent;
    };

    Shown report(const QByteArray* handOver)
    {
        QFile::remove(box.pathText("bin/fs.txt"));
        if (handOver)
            box.makeFile("bin/fs.txt", *handOver);
        TReportForm form;
        form.FormShow();
        return {form.AllSizeLabel->text(), form.UsedSizeLabel->text(),      form.TmpSizelabel->text(),
                form.RecomLabel->text(),   form.AllSpaceBar->percentDone(), form.TmpSizeBar->percentDone()};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/vrimgs.dll"), box.pathText("bin/vrimgs.dll")));
    }

    void init()
    {
        box.setDrives({{'c', "c"}, {'d', "d"}});
        giveDrivesSizes();
    }

    void cleanupTestCase()
    {
        Sandbox::changeEnvironment([&](platform::RunEnvironment& e) { e.driveSpace = {}; });
    }

    void recommendationFollowsTheShareOfUsedSpace()
    {
        const QByteArray kb120 = QByteArray::number(120 * 1024) + "\r\n";
        const Shown necessary = report(&kb120);
        QCOMPARE(necessary.all, QStringLiteral("Общая емкость дисков (Mb) : 20000"));
        QCOMPARE(necessary.used, QStringLiteral("Из них занято (Mb) : 10000"));
        QCOMPARE(necessary.usedPercent, 50);
        QCOMPARE(necessary.found, QStringLiteral("Найденные файлы (\u041Ab) : 122880"));
        QCOMPARE(necessary.foundPercent, 1);
        QCOMPARE(necessary.advice, QStringLiteral("Рекомендация - очистка необходима"));
        QVERIFY(!box.exists("bin/fs.txt")); // read and deleted

        const QByteArray kb300 = QByteArray::number(300 * 1024) + "\r\n";
        const Shown urgent = report(&kb300);
        QCOMPARE(urgent.foundPercent, 3);
        QCOMPARE(urgent.advice, QStringLiteral("Рекомендация - очистка крайне необходима"));

        const QByteArray huge = QByteArray::number(50000ull * 1024) + "\r\n";
        const Shown full = report(&huge);
        QCOMPARE(full.foundPercent, 100);
        QCOMPARE(full.advice, QStringLiteral("Рекомендация - очистка крайне необходима"));

        const QByteArray tie = QByteArray::number(50 * 1024) + "\r\n"; // 0.5 % rounds to even: 0
        QCOMPARE(report(&tie).advice, QStringLiteral("Рекомендация - очистка по желанию"));
    }

    void anEmptySearchOrAMissingFileShowsZero()
    {
        const QByteArray zero = "0\r\n";
        const Shown empty = report(&zero);
        QCOMPARE(empty.found, QStringLiteral("Найденные файлы (\u041Ab) : 0"));
        QCOMPARE(empty.foundPercent, 0);
        QCOMPARE(empty.advice, QStringLiteral("Рекомендация - очистка по желанию"));
        QCOMPARE(report(nullptr).found, QStringLiteral("Найденные файлы (\u041Ab) : 0"));
        const QByteArray blank = "";
        QCOMPARE(report(&blank).foundPercent, 0);
    }

    // The figures without a window, whatever the hand-over file says: the
    // found share never leaves 0..used, and the advice follows the share.
    void theTotalsHoldForAnyHandOver_data()
    {
        QTest::addColumn<QByteArray>("handOver");
        QTest::addColumn<qint64>("kb");
        QTest::addColumn<qint64>("mb");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("advice");
        QTest::newRow("needed") << QByteArray("122880\r\n") << qint64(122880) << qint64(120) << 1 << 1;
        QTest::newRow("half rounds to even") << QByteArray("51200") << qint64(51200) << qint64(50) << 0 << 0;
        QTest::newRow("more than is used")
            << QByteArray(" 99999999999 ") << qint64(99999999999) << qint64(10000) << 100 << 2;
        QTest::newRow("negative") << QByteArray("-4096") << qint64(-4096) << qint64(0) << 0 << 0;
        QTest::newRow("no number") << QByteArray("12 KB\r\n") << qint64(0) << qint64(0) << 0 << 0;
        QTest::newRow("second line ignored") << QByteArray("\r\n999999") << qint64(0) << qint64(0) << 0 << 0;
    }

    void theTotalsHoldForAnyHandOver()
    {
        QFETCH(QByteArray, handOver);
        box.makeFile("bin/fs.txt", handOver);
        const auto totals = SizeEstimate::compute({"C:", "D:"}, [](const QString& letter) {
            return letter == u"C:" ? SizeEstimate::Drive{12000 * MB, 7000 * MB}
                                   : SizeEstimate::Drive{8000 * MB, 3000 * MB};
        });
        QCOMPARE(totals.capacityMB, 20000u);
        QCOMPARE(totals.usedMB, 10000u);
        QTEST(totals.foundKB, "kb");
        QTEST(totals.foundMB, "mb");
        QTEST(totals.foundPercent, "percent");
        QTEST(int(totals.advice), "advice");
        QVERIFY(!box.exists("bin/fs.txt"));
        // A drive that claims more free space than it has is all free.
        const auto odd = SizeEstimate::compute({"C:"}, [](const QString&) {
            return SizeEstimate::Drive{100 * MB, 200 * MB};
        });
        QCOMPARE(odd.usedMB, 0u);
        QCOMPARE(odd.foundPercent, 0);
    }

    void theEstimateCommandHandsOverTheLastSearchTotal()
    {
        TMainForm form;
        form.TotalSize = 120 * MB + 512; // rows removed since do not matter
        QByteArray handed;
        QString advice, title;
        form.ShowModal = [&](QDialog& dialog) {
            handed = box.read("bin/fs.txt");
            auto& report = static_cast<TReportForm&>(dialog);
            report.FormShow();
            advice = report.RecomLabel->text();
            title = report.windowTitle();
        };
        form.CompActionExecute();
        QCOMPARE(handed, QByteArray("122880\r\n"));
        QCOMPARE(advice, QStringLiteral("Рекомендация - очистка необходима"));
        QCOMPARE(title, QStringLiteral(" Оценка Varnel"));
    }

    void theOptionsCommandsOpenAFreshDialogEachTime()
    {
        TMainForm form;
        QList<QDialog*> opened;
        QStringList names;
        form.ShowModal = [&](QDialog& dialog) {
            opened << &dialog;
            names << dialog.objectName();
        };
        form.OptionsBtnClick();
        form.OptionsMenuItemClick();
        QCOMPARE(names, QStringList({"TOptionsForm", "TOptionsForm"}));
        QVERIFY(form.findChildren<QDialog*>().isEmpty()); // each destroyed when it closed
    }

    void theAddOnItemsOpenTheFileTools()
    {
        TMainForm form;
        QStringList names;
        form.ShowModal = [&](QDialog& dialog) { names << dialog.objectName() + dialog.windowTitle(); };
        form.EDirMenuItem->trigger();
        form.ZeroByteMenuItem->trigger();
        form.FindLinksMenuItem->trigger();
        form.WineLeftoversMenuItem->trigger();
        form.EDirMenuItem->trigger();
        QCOMPARE(form.WineLeftoversMenuItem->text(), QStringLiteral("Остатки Wine и Steam"));
        QCOMPARE(names,
                 QStringList({"TEDirForm Поиск пустых каталогов", "TEFileForm Поиск файлов размером 0 байт",
                              "TLinkForm Проверка ярлыков", "TWineLeftForm Остатки Wine и Steam",
                              "TEDirForm Поиск пустых каталогов"}));
        QVERIFY(form.findChildren<QDialog*>().isEmpty());
    }

    void appliedViewSettingsShowOnceTheDialogCloses()
    {
        QFile::remove(box.pathText("bin/varnel.ini"));
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(FlatMenuStyle::isFlat(form.MainMenu));
        form.ShowModal = [](QDialog& dialog) {
            auto& options = static_cast<TOptionsForm&>(dialog);
            options.show();
            QTest::mouseClick(options.XPMenuCheck, Qt::LeftButton);
            QTest::mouseClick(options.SeparCheck, Qt::LeftButton);
            options.ApplyBtnClick();
            options.ExitBtnClick();
        };
        form.OptionsBtnClick();
        QTRY_VERIFY(!FlatMenuStyle::isFlat(form.MainMenu));
        QVERIFY(form.FileList->showGrid());
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
