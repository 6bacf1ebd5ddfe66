// The tool windows' shared base: one job at a time, closing under a job,
// the confirmation and the delete loop over listed rows.

#include "cleaners/files/TToolWindow.h"
#include "widgets/ToolWindowKit.h"
#include "platform/FolderListing.h"
#include "platform/MessageBoxService.h"
#include "support/Sandbox.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QAccessible>
#include <QLabel>
#include <QStandardItemModel>
#include <QToolButton>
#include <QtTest>

using platform::MsgResult;

namespace {

// A window on the base with a job the test runs by hand.
class ProbeWindow : public TToolWindow {
public:
    explicit ProbeWindow(bool stoppable)
        : TToolWindow(nullptr, "ProbeWindow", QStringLiteral(" Проба"), QStringLiteral("probe.htm"), QSize(400, 300),
                      QSize(300, 200))
        , stoppable_(stoppable)
    {
        addDriveSearchBar({"SearchBtn", QStringLiteral("Поиск"), "DeleteBtn", QStringLiteral("Удалить")}, search, drive,
                          deleteAll, exit);
        view = addList("ProbeView", {QStringLiteral(" Путь")}, model);
        pane = addStatus("ProbePane");
    }

    void FormShow() override { ++shown; }

    // Runs step as the window's job.
    void runJob(const std::function<void()>& step)
    {
        Job job(*this);
        step();
    }

    using TToolWindow::allRows;
    using TToolWindow::confirmed;
    using TToolWindow::deleteRows;
    using TToolWindow::Disposal;

    QToolButton *search = nullptr, *deleteAll = nullptr, *exit = nullptr;
    DriveBox* drive = nullptr;
    ReportListView* view = nullptr;
    QStandardItemModel* model = nullptr;
    StatusPane* pane = nullptr;
    int shown = 0;
    int stops = 0;

protected:
    bool stopJob() override
    {
        ++stops;
        return stoppable_;
    }

private:
    bool stoppable_;
};

// The id a listing gives the entry name in the sandbox folder c:\dir.
platform::EntryId listedId(const QString& name)
{
    platform::FolderListing listing;
    if (!listing.read(QStringLiteral("c:\\dir")))
        return {};
    for (const platform::FolderListing::Entry& e : listing.entries())
        if (listing.name(e) == name)
            return listing.statOf(e).id;
    return {};
}

} // namespace

class TestToolWindow : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void init()
    {
        box.boxes.clear();
        box.boxAnswer = MsgResult::Yes;
        QDir(box.pathText("c")).removeRecursively();
        box.setDrives({{'c', "c"}});
    }

    void theSkeletonCarriesItsNames()
    {
        ProbeWindow w(false);
        QCOMPARE(w.objectName(), QStringLiteral("ProbeWindow"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Проба"));
        QCOMPARE(w.minimumSize(), QSize(300, 200));
        for (const char* name : {"SearchBtn", "DeleteBtn", "ExitBtn", "Drive", "ProbeView", "ProbePane"})
            QVERIFY2(w.findChild<QWidget*>(QLatin1String(name)), name);
        QCOMPARE(w.drive->toolTip(), QStringLiteral("Поиск на диске..."));
        // Picture-only buttons are named for screen readers by their hints.
        for (const char* name : {"SearchBtn", "DeleteBtn", "ExitBtn"}) {
            auto* button = w.findChild<QToolButton*>(QLatin1String(name));
            QVERIFY2(button && !button->toolTip().isEmpty(), name);
            QCOMPARE(button->accessibleName(), button->toolTip());
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
            QVERIFY(face);
            QCOMPARE(face->text(QAccessible::Name), button->toolTip());
        }
        w.show();
        QCOMPARE(w.shown, 1);
        w.exit->click();
        QVERIFY(!w.isVisible());
    }

    void aJobTakesTheCommandsAndGivesThemBack()
    {
        ProbeWindow w(false);
        QVERIFY(!w.Busy());
        w.runJob([&] {
            QVERIFY(w.Busy());
            QVERIFY(!w.deleteAll->isEnabled() && !w.exit->isEnabled() && !w.drive->isEnabled());
            QVERIFY(w.search->isEnabled());
        });
        QVERIFY(!w.Busy());
        QVERIFY(w.deleteAll->isEnabled() && w.exit->isEnabled() && w.drive->isEnabled());
    }

    void aJobThatCannotStopKeepsTheWindowOpen()
    {
        ProbeWindow w(false);
        w.show();
        w.runJob([&] { QVERIFY(!w.close()); });
        QCoreApplication::processEvents();
        QCOMPARE(w.stops, 1);
        QVERIFY(w.isVisible()); // nor does it close later by itself
        QVERIFY(w.close());
    }

    void aStoppedJobClosesTheWindowOnceItHasEnded()
    {
        ProbeWindow w(true);
        w.show();
        w.runJob([&] {
            QVERIFY(!w.close());
            QVERIFY(w.isVisible()); // not under the running job
        });
        QCOMPARE(w.stops, 1);
        QCoreApplication::processEvents();
        QVERIFY(!w.isVisible());
    }

    void noQuestionIsAskedWhileAJobRuns()
    {
        ProbeWindow w(false);
        w.runJob([&] { QVERIFY(!w.confirmed(QStringLiteral("Удалить?"))); });
        QVERIFY(box.boxes.isEmpty());
        QVERIFY(w.confirmed(QStringLiteral("Удалить?")));
        box.boxAnswer = MsgResult::No;
        QVERIFY(!w.confirmed(QStringLiteral("Удалить?")));
        box.boxAnswer = MsgResult::Cancel;
        QVERIFY(!w.confirmed(QStringLiteral("Удалить?")));
        QCOMPARE(box.boxes, QStringList(3, QStringLiteral("Удалить?")));
    }

    // Only the entry found goes: a file that took a listed name's place
    // stays, and its row leaves the list all the same.
    void theDeleteLoopRemovesOnlyTheListedEntries()
    {
        for (const char* name : {"a.tmp", "b.tmp", "c.tmp"})
            box.makeFile(QByteArray("c/dir/") + name, "x");
        ProbeWindow w(false);
        for (const char* name : {"a.tmp", "b.tmp", "c.tmp"}) {
            const QString path = QStringLiteral("c:\\dir\\") + QLatin1String(name);
            ToolWindowKit::insertTop(w.model, {path.toUpper()}, path, {}, listedId(QLatin1String(name)));
        }
        QFile::remove(box.pathText("c/dir/b.tmp"));
        box.makeFile("c/dir/b.tmp", "new"); // another file under the listed name
        w.deleteRows(w.model, w.allRows(w.model), ProbeWindow::Disposal::Erase, w.pane, QStringLiteral("Готово"));
        QCOMPARE(w.model->rowCount(), 0);
        QCOMPARE(w.pane->text(), QStringLiteral("Готово"));
        QVERIFY(!box.exists("c/dir/a.tmp") && !box.exists("c/dir/c.tmp"));
        QCOMPARE(box.read("c/dir/b.tmp"), QByteArray("new"));
    }

    void selectedRowsGoIntoTheTrash()
    {
        for (const char* name : {"a.lnk", "b.lnk"})
            box.makeFile(QByteArray("c/dir/") + name, "x");
        ProbeWindow w(false);
        for (const char* name : {"a.lnk", "b.lnk"}) {
            const QString path = QStringLiteral("c:\\dir\\") + QLatin1String(name);
            ToolWindowKit::insertTop(w.model, {path}, path, {}, listedId(QLatin1String(name)));
        }
        // Rows: b.lnk, a.lnk; the second goes.
        w.deleteRows(w.model, {1}, ProbeWindow::Disposal::Recycle, w.pane, QStringLiteral("Удалено"));
        QCOMPARE(w.model->rowCount(), 1);
        QCOMPARE(ToolWindowKit::realPathOf(w.model, 0), QStringLiteral("c:\\dir\\b.lnk"));
        QVERIFY(!box.exists("c/dir/a.lnk") && box.exists("c/dir/b.lnk"));
        QVERIFY(box.exists("home/data/Trash/files/a.lnk"));
    }

    // A name that looks like markup is shown as it is.
    void theStatusPaneShowsNamesAsTheyAre()
    {
        ProbeWindow w(false);
        const QString name = QStringLiteral("c:\\<h1>Big</h1>.tmp");
        w.pane->setText(name);
        QLabel plain;
        plain.setFont(w.pane->font());
        plain.setTextFormat(Qt::PlainText);
        plain.setText(name);
        QCOMPARE(w.pane->sizeHint(), plain.sizeHint());
    }

    // Rows named in any order, with repeats, leave in runs; the others stay
    // in their order.
    void removingRowsKeepsTheRest()
    {
        QStandardItemModel model;
        for (int i = 0; i < 10; ++i)
            model.appendRow(new QStandardItem(QString::number(i)));
        ToolWindowKit::removeRows(&model, {5, 1, 2, 7, 6, 0, 5, 9});
        QStringList left;
        for (int row = 0; row < model.rowCount(); ++row)
            left << model.item(row)->text();
        QCOMPARE(left, QStringList({"3", "4", "8"}));
        ToolWindowKit::removeRows(&model, {});
        QCOMPARE(model.rowCount(), 3);

        // A removal of many rows rebuilds the list: the rows that stay keep
        // their order, their columns, path and entry id.
        QStandardItemModel big(0, 2);
        for (int i = 0; i < 300; ++i) {
            const QString path = QStringLiteral("c:\\f%1").arg(i);
            platform::EntryId id;
            id.inode = quint64(i) + 1;
            id.kind = platform::EntryKind::File;
            ToolWindowKit::insertTop(&big, {path.toUpper(), QString::number(i)}, path, {}, id);
        }
        QList<int> gone;
        for (int row = 0; row < 300; row += 3)
            gone << row << row + 1; // leaves rows 2, 5, 8, ...: files 297, 294, ...
        ToolWindowKit::removeRows(&big, gone);
        QCOMPARE(big.rowCount(), 100);
        for (int row = 0; row < 100; ++row) {
            const int file = 297 - 3 * row;
            QCOMPARE(ToolWindowKit::realPathOf(&big, row), QStringLiteral("c:\\f%1").arg(file));
            QCOMPARE(big.item(row, 1)->text(), QString::number(file));
            QCOMPARE(ToolWindowKit::listedIdOf(&big, row).inode, quint64(file) + 1);
            QVERIFY(!(big.item(row, 0)->flags() & Qt::ItemIsEditable));
        }
    }
};

QTEST_MAIN(TestToolWindow)
#include "tst_toolwindow.moc"
