#pragma once
// The shortcut checker: walks every fixed drive for shortcuts (*.lnk),
// reads each one's target, lists those whose target file is gone, and
// moves all listed shortcuts to the trash.
//
// The status counts the judged shortcuts ("Всего ярлыков": sound and broken
// alike) and the broken ones.

#include "cleaners/files/ShortcutJob.h"
#include "cleaners/files/TToolWindow.h"
#include "scan/TmFileScan.h"

#include <QIcon>
#include <QList>

class DriveBox;
class QCheckBox;
class QStandardItemModel;
class QToolButton;
class ReportListView;

class TLinkForm : public TToolWindow {
    Q_OBJECT
public:
    explicit TLinkForm(QWidget* parent = nullptr);

    void FormShow() override;
    void FormResize();
    // Runs the walk over every fixed drive; returns when it has ended. A
    // second search while one runs is ignored.
    void SrcLinkBtnClick();
    void StopBtnClick();
    void DelLinkBtnClick();
    // Each shortcut judged: the counts are shown and messages run.
    void linkScanFileFound(const QString& FileName);
    void linkScanReady(const QStringList& SearchResult);

    // Where the target of the shortcut at linkPath lies for this program, or
    // an empty text when its drive cannot be placed (the shortcut is then
    // neither counted nor listed). fixedLetters are the searched drives.
    static QString PlacedTarget(const QString& linkPath, const QString& target, const QString& fixedLetters);

    QToolButton *SrcLinkBtn, *StopBtn, *DelLinkBtn, *ExitBtn;
    QCheckBox* ProgCheck;
    ReportListView* LinkView;
    QStandardItemModel* LinkModel;
    // The window's own images: a shortcut (each listed row's).
    const QList<QIcon> ImgList;
    StatusPane* Pane;
    DriveBox* Drives;
    TdcShellLink* ShLink;
    // The checker, and its walker under the name the window knows it by.
    ShortcutJob Search;
    TmFileScan& linkScan = Search.walker();

    QString FixedDriveLetters;
    int LinkCount = 0; // judged shortcuts, sound and broken
    int BrokenLinkCount = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showBusy(bool busy) override;
    // Stops the walk; the window closes once it has returned.
    bool stopJob() override;

private:
    void buildControls();
    void setIdleButtons(bool enabled);
    void showCounts(const QString& state);
};
