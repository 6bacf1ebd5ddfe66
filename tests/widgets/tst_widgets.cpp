// The widget set: progress bar arithmetic, the log view and the text store
// under it, column minimums, the drive box and the two menu looks.

#include "core/TextStore.h"
#include "platform/DriveTable.h"
#include "support/Sandbox.h"
#include "widgets/ColourLogView.h"
#include "widgets/DriveBox.h"
#include "widgets/FlatMenuStyle.h"
#include "widgets/PartsProgressBar.h"
#include "widgets/ReportListView.h"
#include "platform/RunEnvironment.h"
#include "widgets/StatusPane.h"

#include <QAccessible>
#include <QMenuBar>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
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

    // Told a text per entry, the pane answers the latest at once, shows at
    // most one a frame (time held still here: only the first is shown at
    // once), always ends showing the last, and never takes markup.
    void statusPaneShowsTheLatestTextOncePerFrame()
    {
        quint32 now = 1000;
        const platform::RunEnvironment before = platform::RunEnvironment::current();
        platform::RunEnvironment held = before;
        held.clock = [&now] { return now; };
        platform::RunEnvironment::install(held);
        StatusPane pane;
        pane.show();
        const auto shown = [&pane] { return pane.QLabel::text(); };
        pane.setText(QStringLiteral("first"));
        QCOMPARE(shown(), QStringLiteral("first"));
        for (int i = 0; i < 1000; ++i) {
            if (i % 2) // told in two parts, as a job names each entry
                pane.setText(QStringLiteral("c:\\<b>"), QStringLiteral("%1</b>").arg(i));
            else
                pane.setText(QStringLiteral("c:\\<b>%1</b>").arg(i));
            QCOMPARE(pane.text(), QStringLiteral("c:\\<b>%1</b>").arg(i));
            QCOMPARE(shown(), QStringLiteral("first"));
        }
        QTRY_COMPARE(shown(), QStringLiteral("c:\\<b>999</b>"));
        pane.setText(QStringLiteral("told "), QStringLiteral("in two"));
        pane.setText(QStringLiteral("then whole"));
        QTRY_COMPARE(shown(), QStringLiteral("then whole"));
        QCOMPARE(pane.textFormat(), Qt::PlainText);
        now += StatusPane::frameMs;
        pane.setText(QStringLiteral("a frame later"));
        QCOMPARE(shown(), QStringLiteral("a frame later"));
        pane.clear();
        QCOMPARE(pane.text(), QString());
        QTRY_COMPARE(shown(), QString());
        // a job's last text shows at once, and one still waiting goes
        pane.setText(QStringLiteral("waits"));
        pane.setTextNow(QStringLiteral("done"));
        QCOMPARE(shown(), QStringLiteral("done"));
        QTest::qWait(2 * StatusPane::frameMs);
        QCOMPARE(shown(), QStringLiteral("done"));
        platform::RunEnvironment::install(before);
    }

    // The list paints its texts from text laid out once, where and as the
    // style would paint them: same place, same colour (selected or not), cut
    // at the cell's edge.
    void listPaintsTextsAsTheStyleWould()
    {
        QStandardItemModel model(0, 1);
        for (const QString& text : {QStringLiteral("C:\\ПАПКА\\ФАЙЛ.TXT"), QString(200, u'W'), QStringLiteral("x")})
            model.appendRow(new QStandardItem(text));
        const auto render = [&model](bool stock) {
            ReportListView view;
            view.setModel(&model);
            if (stock)
                view.setItemDelegate(new QStyledItemDelegate(&view));
            view.resize(300, 120);
            view.setColumnWidth(0, 250);
            view.selectRow(1);
            return std::pair(view.viewport()->grab().toImage(), view.visualRect(model.index(2, 0)).bottom());
        };
        const auto [ours, end] = render(false);
        const QImage stock = render(true).first;
        QCOMPARE(ours.size(), stock.size());
        qsizetype differing = 0, ink = 0;
        for (int y = 0; y <= end; ++y)
            for (int x = 0; x < ours.width(); ++x) {
                differing += ours.pixel(x, y) != stock.pixel(x, y);
                ink += stock.pixel(x, y) != stock.pixel(1, y);
            }
        QVERIFY(ink > 0);
        QVERIFY(differing * 20 <= ink);
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
        QCoreApplication::processEvents(); // the scroll bars catch up once, not per line
        QCOMPARE(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
        QVERIFY(log.verticalScrollBar()->maximum() > 0);

        QTest::keyClick(&log, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(log.selectedText().count(u'\n'), 49);
        log.clear();
        QCOMPARE(log.lineCount(), 0);
        QCOMPARE(log.selectedText(), QString());
    }

    // Appending many lines sets the scroll bars once, afterwards; whoever
    // looks at them then finds the newest line in view.
    void logScrollBarsCatchUpAfterManyAppends()
    {
        const int n = 20000;
        const auto appendLines = [](ColourLogView& log, int count) {
            for (int i = 0; i < count; ++i)
                log.appendLine(QStringLiteral("Найден файл - "), QStringLiteral("c:\\d\\f%1.tmp").arg(i), Qt::black);
        };
        // Ranges right, the newest line the last one in view.
        const auto atTheEnd = [](const ColourLogView& log) {
            const QScrollBar* bar = log.verticalScrollBar();
            return bar->pageStep() >= 1 && bar->maximum() + bar->pageStep() == log.lineCount()
                && bar->value() == bar->maximum() && log.horizontalScrollBar()->maximum() > 0;
        };

        // Queried through the log's own functions, with no event loop between.
        ColourLogView log;
        log.resize(150, 120);
        log.show();
        int rangeChanges = 0;
        connect(log.verticalScrollBar(), &QScrollBar::rangeChanged, &log, [&] { ++rangeChanges; });
        appendLines(log, n);
        QCOMPARE(rangeChanges, 0);
        QCOMPARE(log.verticalScrollBar()->maximum(), 0); // not yet caught up
        const QRect last = log.lineRect(n - 1);
        QVERIFY(log.viewport()->rect().contains(last.topLeft()) && last.bottom() <= log.viewport()->height());
        QVERIFY(atTheEnd(log));
        QCOMPARE(rangeChanges, 1);
        QCOMPARE(log.lineAtPoint(last.center()), n - 1);

        // Scrolled back up, the next lines bring the newest into view again.
        log.scrollToLine(0);
        QCOMPARE(log.verticalScrollBar()->value(), 0);
        appendLines(log, 10);
        QCOMPARE(log.verticalScrollBar()->value(), 0);
        QCoreApplication::processEvents(); // hidden or not, the queued update sets them
        QVERIFY(atTheEnd(log));
        QCOMPARE(log.lineCount(), n + 10);

        // Keys page from where the newest line left the bars.
        appendLines(log, 100);
        QTest::keyClick(&log, Qt::Key_PageUp);
        const QScrollBar* bar = log.verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum() - bar->pageStep());
        QCOMPARE(bar->maximum() + bar->pageStep(), n + 110);

        // A log first shown after the lines came is at its end once painted.
        ColourLogView later;
        later.resize(150, 120);
        appendLines(later, n);
        later.show();
        QVERIFY(QTest::qWaitForWindowExposed(&later));
        QVERIFY(atTheEnd(later));

        // Cleared, nothing is left to scroll and nothing is pending.
        later.clear();
        QCOMPARE(later.verticalScrollBar()->maximum(), 0);
        appendLines(later, 1);
        later.settleScrollBars();
        QCOMPARE(later.verticalScrollBar()->maximum(), 0);
        QCOMPARE(later.verticalScrollBar()->value(), 0);
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

    // The self-drawn log as a screen reader reads it, through Qt's own
    // accessibility API.
    void logIsReadOnlyTextWithColouredLines()
    {
        ColourLogView log;
        log.appendLine(QStringLiteral("первая"), Qt::blue);
        log.appendLine(QString(), Qt::black);
        log.appendLine(QStringLiteral("third"), QColor(200, 10, 20));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&log);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::EditableText);
        QVERIFY(a->state().readOnly && a->state().multiLine);
        QCOMPARE(a->text(QAccessible::Value), QStringLiteral("первая\n\nthird"));
        QAccessibleTextInterface* t = a->textInterface();
        QVERIFY(t);
        QCOMPARE(t->characterCount(), 13);
        QCOMPARE(t->text(0, 13), QStringLiteral("первая\n\nthird"));
        QCOMPARE(t->text(8, 11), QStringLiteral("thi"));
        int start = -2, end = -2;
        QCOMPARE(t->attributes(3, &start, &end), QStringLiteral("color:rgb(0,0,255);"));
        QCOMPARE(start, 0);
        QCOMPARE(end, 7); // the line and its newline
        QCOMPARE(t->attributes(7, &start, &end), QStringLiteral("color:rgb(0,0,0);"));
        QCOMPARE(start, 7);
        QCOMPARE(end, 8);
        QCOMPARE(t->attributes(12, &start, &end), QStringLiteral("color:rgb(200,10,20);"));
        QCOMPARE(start, 8);
        QCOMPARE(end, 13);
        QVERIFY(t->attributes(13, &start, &end).isEmpty());

        // Selection is by whole lines, both ways.
        QCOMPARE(t->selectionCount(), 0);
        t->setSelection(0, 9, 10);
        QCOMPARE(log.selectedText(), QStringLiteral("third"));
        log.selectLines(0, 1);
        QCOMPARE(t->selectionCount(), 1);
        t->selection(0, &start, &end);
        QCOMPARE(start, 0);
        QCOMPARE(end, 7);
        t->removeSelection(0);
        QVERIFY(log.selectedText().isEmpty());

        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        const QRect r = t->characterRect(8);
        QVERIFY(r.isValid());
        QCOMPARE(t->offsetAtPoint(r.center()), 8);
    }

    void prefixedLinesReadAsTheJoinedText()
    {
        ColourLogView log;
        const QString path = QStringLiteral("c:\\папка\\a.tmp");
        log.appendLine(QStringLiteral("Найден файл - "), path, Qt::black);
        log.appendLine(QString(), QStringLiteral("plain"), Qt::blue);
        log.appendLine(QStringLiteral("Удаление - "), path, Qt::red);
        log.appendLine(QStringLiteral("Найден файл - "), QString(), Qt::black);
        // More different prefixes than the table numbers: the rest are kept
        // joined and read the same.
        for (int i = 0; i < 300; ++i)
            log.appendLine(QStringLiteral("p%1 ").arg(i), QStringLiteral("x"), QColor(i % 256, 0, 0));
        QCOMPARE(log.lineCount(), 304);
        QCOMPARE(log.line(0), QStringLiteral("Найден файл - c:\\папка\\a.tmp"));
        QCOMPARE(log.line(1), QStringLiteral("plain"));
        QCOMPARE(log.line(2), QStringLiteral("Удаление - c:\\папка\\a.tmp"));
        QCOMPARE(log.line(3), QStringLiteral("Найден файл - "));
        QCOMPARE(log.line(303), QStringLiteral("p299 x"));
        QCOMPARE(log.lineColour(0), QColor(Qt::black));
        QCOMPARE(log.lineColour(1), QColor(Qt::blue));
        QCOMPARE(log.lineColour(2), QColor(Qt::red));
        QCOMPARE(log.lineColour(3), QColor(Qt::black));
        QCOMPARE(log.lineColour(4), QColor(0, 0, 0));
        QCOMPARE(log.lineColour(5), QColor(1, 0, 0));
        QVERIFY(!log.lineColour(304).isValid());
        QCOMPARE(log.lineColour(303), QColor(299 % 256, 0, 0));
        QStringList expected{"Найден файл - " + path, "plain", "Удаление - " + path, "Найден файл - "};
        for (int i = 0; i < 300; ++i)
            expected << QStringLiteral("p%1 x").arg(i);
        QCOMPARE(log.lines(), expected);
        log.selectLines(0, 2);
        QCOMPARE(log.selectedText(), expected.mid(0, 3).join(u'\n'));

        // The accessible text counts the prefixes too.
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&log);
        QVERIFY(a && a->textInterface());
        QCOMPARE(a->text(QAccessible::Value), expected.join(u'\n'));
        QCOMPARE(a->textInterface()->characterCount(), int(expected.join(u'\n').size()));
        QCOMPARE(a->textInterface()->text(0, 14), QStringLiteral("Найден файл - "));

        log.clear();
        log.appendLine(QStringLiteral("Найден файл - "), path, Qt::black);
        QCOMPARE(log.lines(), QStringList{"Найден файл - " + path});
    }

    // Random adds (short, empty, longer than a block, the same again) and
    // releases in random order: every text reads back as added while held,
    // and once all are released no block is left.
    void textStoreKeepsEachTextUntilItsLastRelease()
    {
        core::TextStore store;
        QRandomGenerator random(7);
        std::vector<std::pair<core::TextStore::Ref, QString>> held;
        QString last;
        for (int step = 0; step < 20000; ++step) {
            const quint32 roll = random.bounded(10);
            if (roll < 4 && !held.empty()) {
                const size_t at = random.bounded(quint32(held.size()));
                store.release(held[at].first);
                held.erase(held.begin() + qsizetype(at));
                continue;
            }
            QString text;
            if (roll == 4)
                text = last; // shared with the one before, not copied
            else if (roll == 5 && random.bounded(40) == 0)
                text = QString(40000 + int(random.bounded(30000)), QChar(u'я' + int(random.bounded(3))));
            else if (roll != 6)
                text = QStringLiteral("c:\folder%1\f%2.tmp").arg(random.bounded(50)).arg(step);
            held.emplace_back(store.add(text), text);
            last = text;
        }
        for (const auto& [ref, text] : held)
            QCOMPARE(store.view(ref), QStringView(text));
        QVERIFY(store.blockCount() > 1);
        while (!held.empty()) {
            const size_t at = random.bounded(quint32(held.size()));
            store.release(held[at].first);
            held.erase(held.begin() + qsizetype(at));
        }
        QCOMPARE(store.blockCount(), 0);
        QCOMPARE(store.text(store.add(QStringLiteral("again"))), QStringLiteral("again"));
    }

    void progressBarShowsValueAndMaximum()
    {
        PartsProgressBar bar;
        bar.setTotalParts(40);
        bar.setPartsComplete(10);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&bar);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::ProgressBar);
        QAccessibleValueInterface* v = a->valueInterface();
        QVERIFY(v);
        QCOMPARE(v->currentValue().toLongLong(), 10);
        QCOMPARE(v->maximumValue().toLongLong(), 40);
        QCOMPARE(v->minimumValue().toLongLong(), 0);
        QCOMPARE(a->text(QAccessible::Value), QStringLiteral("25 %"));
        v->setCurrentValue(30); // shown, not set
        QCOMPARE(bar.partsComplete(), 10);
        bar.setPartsComplete(40);
        QCOMPARE(v->currentValue().toLongLong(), 40);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
