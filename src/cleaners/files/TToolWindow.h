#pragma once
// What the file-tool windows (empty folders, zero-byte files, broken
// shortcuts) have in common: the dialog with its tool bar on top, one
// report list of found entries over its model, a one-pane status bar, the
// list's pop-up menu, one job (a search) at a time, and the confirm-then-
// delete loop over listed rows.
//
// Rows are listed with ToolWindowKit::insertTop(..., id) and deleted by that
// id only (ToolWindowKit::listedIdOf), so nothing but the entry found is
// ever deleted, whatever took its path since.

#include "core/Disposal.h"
#include "widgets/StatusPane.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

// Declared here for the windows built on this one too.
class DriveBox;
class QAction;
class QIcon;
class QMenu;
class QStandardItemModel;
class QToolButton;
class QToolBar;
class QVBoxLayout;
class ReportListView;

class TToolWindow : public QDialog {
    Q_OBJECT
public:
    // True while the window's job runs.
    bool Busy() const { return busy_; }

    // The window's own preparation each time it is shown.
    virtual void FormShow() = 0;

protected:
    // The window named objectName with its title, help page and sizes, and
    // an empty tool bar (Bar) at the top of its layout.
    TToolWindow(QWidget* parent, const char* objectName, const QString& title, const QString& helpPage, QSize size,
                QSize minimum);

    // The found-entry list below the tool bar, one column per caption,
    // filling the window; model receives the list's model.
    ReportListView* addList(const char* objectName, const QStringList& captions, QStandardItemModel*& model);
    // The status bar at the bottom, with its one pane.
    StatusPane* addStatus(const char* objectName);
    // The tool bar of a window that searches one drive: its search button,
    // the drop-down of fixed drives ("Drive", whose first character is the
    // drive walked), its delete-all button and the exit button ("ExitBtn",
    // which closes the window). Each is stored in the reference given.
    struct SearchBarNames {
        const char* search;
        QString searchHint;
        const char* deleteAll;
        QString deleteHint;
    };
    void addDriveSearchBar(const SearchBarNames& names, QToolButton*& search, DriveBox*& drive, QToolButton*& deleteAll,
                           QToolButton*& exit);
    // view's pop-up menu, named objectName, opened on a right click in it.
    QMenu* addPopup(const char* objectName, ReportListView* view);
    // A menu item named objectName.
    static QAction* addItem(QMenu* menu, const char* objectName, const QIcon& icon, const QString& caption);

    // While a Job lives the window is busy: showBusy(true) on the way in,
    // showBusy(false) on the way out, and a close asked for meanwhile
    // happens once the job has ended (when stopJob() could stop it).
    class Job {
    public:
        explicit Job(TToolWindow& window);
        ~Job();
        Job(const Job&) = delete;
        Job& operator=(const Job&) = delete;

    private:
        TToolWindow& window_;
    };

    // Shows the window as busy or idle: by default the drive search bar's
    // delete-all and exit buttons and drive choice go off while busy.
    virtual void showBusy(bool busy);
    // Stops the running job when it can be stopped; true when it will end
    // soon. The default cannot stop one.
    virtual bool stopJob() { return false; }

    // How the delete loop removes an entry: for good, or into the Trash.
    // EraseEmptyFolder erases a folder only while it still holds nothing
    // but folders and zero-byte files, as it was when listed.
    using Disposal = core::Disposal;
    // Unless a job runs, asks question (Yes, No, Cancel); true for Yes.
    bool confirmed(const QString& question);
    // Deletes the entry each of rows lists (the very entry found, by its id),
    // removes the rows from the list and shows done in pane. Whether an
    // entry could be deleted is not asked: its row goes all the same, as a
    // failure has always been left for the shell's own message to tell.
    void deleteRows(QStandardItemModel* model, const QList<int>& rows, Disposal how, StatusPane* pane, const QString& done);
    // Every row of model, top to bottom.
    static QList<int> allRows(const QStandardItemModel* model);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    QToolBar* Bar;

private:
    QVBoxLayout* layout_;
    QList<QWidget*> idleOnly_; // what a job disables
    bool busy_ = false;
    bool closePending_ = false;
};
