// The widget set: progress bar arithmetic, the log view, column minimums,
// the drive box and the two menu looks.

#include "platform/DriveTable.h"
#include "support/Sandbox.h"
#include "widgets/ColourLogView.h"
#include "widgets/DriveBox.h"
#include "widgets/FlatMenuStyle.h"
#include "widgets/PartsProgressBar.h"
#include "widgets/ReportListView.h"

#include <QMenuBar>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QtTest>

class TestWidgets : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void progressRoundsHalvesToEvenAndClamps()
    {
        PartsProgressBar bar;
        QCOMPARE(bar.percentDone(), 0); // a total of 0
        bar.setTotalParts(200);
        const QList<QPair<int, int>> cases = {{1, 0}, {3, 2}, {5, 2}, {7, 4}, {199, 100}, {100, 50}};
        for (const auto& [done, percent] : cases) {
            bar.setPartsComplete(done);
            QCOMPARE(bar.percentDone(), percent);
        }
        bar.setPartsComplete(500);
        QCOMPARE(bar.partsComplete(), 200);
        bar.setTotalParts(10);
        QCOMPARE(bar.partsComplete(), 10);
        bar.addParts(-20);
        QCOMPARE(bar.partsComplete(), 0);
    }

    void logKeepsLinesColoursAndTheNewestInView()
    {
        ColourLogView log;
        log.resize(300, 85);
        log.show();
        for (int i = 0; i < 50; ++i)
            log.appendLine(QStringLiteral("строка %1").arg(i), i % 2 ? QColor(255, 0, 0) : QColor(0, 0, 0));
        QCOMPARE(log.lineCount(), 50);
        QCOMPARE(log.lines().last(), QStringLiteral("строка 49"));
        QCOMPARE(log.lineColour(49), QColor(255, 0, 0));
        QVERIFY(!log.lineColour(50).isValid());
        QCOMPARE(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
        QVERIFY(log.verticalScrollBar()->maximum() > 0);

        QTest::keyClick(&log, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(log.selectedText().count(u'\n'), 49);
        log.clear();
        QCOMPARE(log.lineCount(), 0);
        QCOMPARE(log.selectedText(), QString());
    }

    void columnsKeepTheirMinimumWidth()
    {
        QStandardItemModel model(1, 3);
        ReportListView list;
        list.setModel(&model);
        list.setColumnMinimumWidth(0, 315);
        QCOMPARE(list.columnWidth(0), 315);
        list.setColumnWidth(0, 100); // as a drag of the header would
        QCOMPARE(list.columnWidth(0), 315);
        list.setColumnWidthRespectingMinimum(0, 135);
        QCOMPARE(list.columnWidth(0), 315);
        list.setColumnWidthRespectingMinimum(0, 400);
        QCOMPARE(list.columnWidth(0), 400);
        list.setGridLines(true);
        QVERIFY(list.showGrid());
    }

    void driveBoxListsFixedDrivesInLetterOrder()
    {
        box.setDrives({{'e', "e"}, {'c', "c"}});
        DriveBox lower;
        QCOMPARE(lower.itemTexts(), QStringList({"c: ", "e: "}));
        DriveBox upper(DriveBox::LetterCase::Upper);
        QCOMPARE(upper.itemTexts(), QStringList({"C: ", "E: "}));
        box.setDrives({{'c', "c"}});
        upper.refresh();
        QCOMPARE(upper.itemTexts(), QStringList({"C: "}));
        DriveBox all(DriveBox::LetterCase::AllUpper);
        QCOMPARE(all.itemTexts(), QStringList({"C: "}));
    }

    void driveItemsAreCasedWithTheirLabels()
    {
        const platform::FixedDrive d{u'd', "/mnt/data", QStringLiteral("Данные_ext")};
        QCOMPARE(DriveBox::textFor(d, DriveBox::LetterCase::Lower), QStringLiteral("d: Данные_ext"));
        QCOMPARE(DriveBox::textFor(d, DriveBox::LetterCase::Upper), QStringLiteral("D: Данные_ext"));
        QCOMPARE(DriveBox::textFor(d, DriveBox::LetterCase::AllUpper), QStringLiteral("D: ДАННЫЕ_EXT"));
    }

    void menusSwitchBetweenTwoLooks()
    {
        QMenuBar bar;
        QMenu* file = bar.addMenu(QStringLiteral("Файл"));
        QMenu dropDown;
        QVERIFY(!FlatMenuStyle::isFlat(&bar));
        FlatMenuStyle::apply(&bar, {&dropDown}, true);
        QVERIFY(FlatMenuStyle::isFlat(&bar));
        QVERIFY(!file->styleSheet().isEmpty());
        QCOMPARE(dropDown.styleSheet(), file->styleSheet());
        FlatMenuStyle::apply(&bar, {&dropDown}, false);
        QVERIFY(file->styleSheet().isEmpty() && dropDown.styleSheet().isEmpty());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
