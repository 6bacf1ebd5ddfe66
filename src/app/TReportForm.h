#pragma once
// The estimate: the last search's total against the capacity and the used
// space of all fixed drives, with a recommendation. The total comes in
// through the one-line hand-over file fs.txt in the program's folder, which
// the report reads and deletes; SizeEstimate works out every figure, the
// window shows them.

#include "cleaners/files/SizeEstimate.h"

#include <QDialog>
#include <QStringList>

class DriveBox;
class PartsProgressBar;
class QGroupBox;
class QLabel;
class QPushButton;
class TdcDiskInfo;

class TReportForm : public QDialog {
    Q_OBJECT
public:
    explicit TReportForm(QWidget* parent = nullptr);

    // Fills the report (also run when it is shown).
    void FormShow();
    // Points DiskInf at the drive when text is one capital letter "A".."Z".
    void SelectDisk(const QString& text);
    // Adds up the fixed drives, shows the figures and reads fs.txt.
    void ComputeDiskTotals();

    QStringList SizeList;
    DriveBox* DriveBox_;
    TdcDiskInfo* DiskInf;
    QGroupBox *FreeBox, *FoundBox;
    QLabel *Bar1Label, *AllSizeLabel, *UsedSizeLabel;
    PartsProgressBar* AllSpaceBar;
    QLabel *Bar2Label, *TmpSizelabel, *RecomLabel;
    PartsProgressBar* TmpSizeBar;
    QPushButton* ExtBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    SizeEstimate::Totals totals_;
};
