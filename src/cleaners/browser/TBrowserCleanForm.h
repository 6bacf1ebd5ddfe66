#pragma once
// What the cache cleaner and the cookie cleaner share: a small fixed window
// that, each time it becomes active, runs its BrowserCleanJob (the folder
// from the user's Shell Folders key, searched), deletes every found entry
// for good one at a time in the order found, and closes itself a second
// after finishing.
//
// A folder value that is missing, empty or names a folder that must never
// be emptied (see core::FolderCheck::emptiable) ends the run before any
// search: nothing is deleted and the window stays open with its first text.
// A folder that does not exist is an empty cache: the run ends at once with
// the end text. The folder is searched under the disk's own spelling, so a
// value in another letter case finds, and deletes, the entries.

#include "cleaners/browser/BrowserCleanJob.h"
#include "cleaners/browser/FileSearchTypes.h"
#include "core/Finding.h"

#include <QDialog>
#include <QList>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QTimer;
class TEasyFileSearch;

class TBrowserCleanForm : public QDialog {
    Q_OBJECT
public:
    // The texts and names that tell the two cleaners apart.
    struct Texts {
        QString caption;    // window caption
        QString firstLabel; // CacheLabel's first text
        QString progress;   // put before each name while deleting
        QString done;       // the end text
        BrowserCleanJob::Store store;
        const char* listName;
        const char* searchName;
        QString helpPage;
    };

    TBrowserCleanForm(const Texts& texts, QWidget* parent);

    // Runs the cleaning, then starts CloseTimer; any failure of either is
    // swallowed (the timer is then not started). An activation while a run
    // is under way is refused.
    void FormActivate();
    void CloseTimerTimer();

    // One whole cleaning. Throws when there is no folder to clean or the
    // search fails; the deletions' outcome is not checked.
    void RunCleaning();

    // The folder the last run read from the registry.
    QString Folder() const { return Clean.folder(); }
    // The bar's total parts (lines less one; the bar shows an empty bar
    // for a total below one).
    int ProgressTotal() const { return total_; }

    QFrame* IECPanel;
    QLabel* CacheLabel;
    QProgressBar* IEProgress;
    QTimer* CloseTimer;

protected:
    // Adds one found entry: a line of the work list and the finding deletion uses.
    void addFound(const core::Finding& found);

    QPlainTextEdit* list_;
    TEasyFileSearch* search_; // owned by the window, driven by Clean
    BrowserCleanJob Clean;

    void changeEvent(QEvent* event) override;

    // The search's OnFileFinded as the job reports it; the subclass lists it.
    virtual void fileFound(const core::Finding& found) = 0;

private:
    void setTotal(int total);
    void advance();
    void deleteFound();

    Texts texts_;
    QList<core::Finding> found_;
    int total_ = 0;
    int done_ = 0;
    bool running_ = false;
};
