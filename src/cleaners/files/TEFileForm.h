#pragma once
// The zero-byte file finder: lists every file of one fixed drive whose size
// is zero (hidden and system files too) and deletes (for good) all of them
// or the ones the user picks.
//
// Each row shows the path in capitals and keeps the path the file was found
// under; deleting uses that path, so on a host where A.TXT and a.txt are
// two files the right one goes.

#include "cleaners/files/TLarFileFind.h"
#include "cleaners/files/ZeroByteJob.h"
#include "cleaners/files/TToolWindow.h"

#include <QIcon>
#include <QList>

class QToolButton;
class TdcFileInfo;

class TEFileForm : public TToolWindow {
    Q_OBJECT
public:
    explicit TEFileForm(QWidget* parent = nullptr);

    void FormShow() override;
    // Searches the drive chosen in Drive; a second search while one runs is
    // ignored, and so is closing the window.
    void SrcfileBtnClick();
    // Each file the walk reaches, before it is judged: the status names it.
    void EFSearchFind(QObject* Sender, const QString& FindFile);
    void DelfileBtnClick();
    void DellAllFilesItemClick() { DelfileBtnClick(); }
    void DelSelectedFilesItemClick();
    void DelFFromListItemClick();

    QToolButton *SrcfileBtn, *DelfileBtn, *ExitBtn;
    DriveBox* Drive;
    ReportListView* FileView;
    QStandardItemModel* FileModel;
    StatusPane* StatPane;
    QMenu* FileMenu;
    // The window's own images, by the index its menu gives them: none at 0,
    // delete the selected, delete all.
    const QList<QIcon> ImageList;
    QAction *DellAllFilesItem, *DelSelectedFilesItem, *DelFFromListItem;
    // The window's file information component. The search no longer reads
    // files through it: its walker looks at each one again relative to the
    // folder it holds open.
    TdcFileInfo* FileInf;
    // The finder, and its walker under the name the window knows it by.
    ZeroByteJob Search;
    TLarFileFind& EFSearch = Search.walker();

private:
    void buildControls();
    void DeleteAllFiles();
    void DeleteSelectedFiles();
};
