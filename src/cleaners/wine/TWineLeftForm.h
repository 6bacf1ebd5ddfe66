#pragma once
// The Wine and Steam leftovers window: lists what WineLeftoversJob finds
// (Proton prefixes and shader caches of games that are gone, Wine's menu
// files for prefixes that are gone, download caches) with a check box per
// row, the rows chosen by default ticked, and sends the ticked ones to the
// Trash after asking. Rows in use are listed but never deleted.

#include "cleaners/files/TToolWindow.h"
#include "core/Finding.h"

#include <QList>

class TWineLeftForm : public TToolWindow {
    Q_OBJECT
public:
    explicit TWineLeftForm(QWidget* parent = nullptr);

    void FormShow() override;
    // Lists every leftover anew. A second search while one runs is ignored.
    void SrcBtnClick();
    // Asks (Yes, No, Cancel: the total and the user files' size among the
    // ticked rows), then disposes of the ticked rows; the rows deleted leave
    // the list, the others stay with their state.
    void DelBtnClick();

    // The finding each row lists, row for row.
    const QList<core::Finding>& Findings() const { return findings_; }
    // The rows whose box is ticked, top to bottom.
    QList<int> CheckedRows() const;

    QToolButton *SrcBtn, *DelBtn, *ExitBtn;
    ReportListView* LeftView;
    QStandardItemModel* LeftModel;
    QLabel* StatPane;

protected:
    void showBusy(bool busy) override;

private:
    void buildControls();
    void addRow(const core::Finding& finding);

    QList<core::Finding> findings_;
};
