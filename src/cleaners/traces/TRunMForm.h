#pragma once
// The autorun dialog: the values of the three Run keys of the registry
// (machine, current user, default user), newest group first, and deletion
// of the chosen one. On a 64-bit machine the 32-bit programs' machine Run
// key is listed too, its rows marked " (32-бит)".

#include "widgets/StatusPane.h"

#include <QDialog>

class QPushButton;
class QStandardItemModel;
class QStatusBar;
class QFrame;
class ReportListView;

class TRunMForm : public QDialog {
    Q_OBJECT
public:
    explicit TRunMForm(QWidget* parent = nullptr);

    // Lists the entries: each place in turn, each value inserted at the
    // top. A value that is not text is no command line and is left out.
    void FormShow();
    void FormResize();
    // Asks, deletes the selected entry's value in the key it was listed
    // from (its root and view), relists, and
    // reports a deletion that did not take. Without a selected row nothing
    // is asked or done.
    void DelItemBtnClick();
    void ProgsViewSelectItem();

    QFrame* MainPanel;
    ReportListView* ProgsView;
    QStandardItemModel* ProgsModel;
    QStatusBar* StatusBar;
    StatusPane* ValPane;
    StatusPane* ProgPane;
    QPushButton* DelItemBtn;
    QPushButton* ExitBtn;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ListEntries();
    void ListPlaces();
    bool listing_ = false;
    int selectedRow() const;
};
