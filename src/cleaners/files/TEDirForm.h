#pragma once
// The empty-directory finder: lists the folders of one fixed drive that
// hold nothing but zero-byte files and no listed sub-folder, and opens or
// deletes (for good) the ones the user picks.
//
// Each row shows the folder's path in capitals and keeps the path it was
// found under; deleting, opening and the content check use that path, so
// on a host where C:\A and C:\a are two folders the right one is touched.

#include "cleaners/files/EmptyFolderJob.h"
#include "cleaners/files/TFindDirs.h"
#include "cleaners/files/TToolWindow.h"

#include <QIcon>
#include <QList>

class QToolButton;

class TEDirForm : public TToolWindow {
    Q_OBJECT
public:
    explicit TEDirForm(QWidget* parent = nullptr);

    void FormShow() override;
    // Searches the drive chosen in Drive. A second search while one runs is
    // ignored.
    void SrcBtnClick();
    void DelBtnClick();
    void DellAllItemClick() { DelBtnClick(); }
    void DelSelectedDirsItemClick();
    void DelFromListItemClick();
    void OpenDirItemClick();

    // Whether the folder at path (Windows form) holds data: the size of the
    // first file with a non-zero size found below it, 0 when every file
    // below is empty. Links, devices and mounted file systems below count
    // as data.
    static quint64 DirContentSize(const QString& path);

    QToolButton *SrcBtn, *DelBtn, *ExitBtn;
    DriveBox* Drive;
    ReportListView* DirsView;
    QStandardItemModel* DirsModel;
    StatusPane* StatPane;
    QMenu* DirsMenu;
    // The window's own images, by the index its menu gives them: the folder
    // (open), delete the selected, delete all.
    const QList<QIcon> DImageList;
    QAction *DellAllItem, *DelSelectedDirsItem, *DelFromListItem, *OpenDirItem;
    // The finder, and its walker under the name the window knows it by.
    EmptyFolderJob Search;
    TFindDirs& DirSearch = Search.walker();

private:
    void buildControls();
    void showWholeList();
    void DeleteAllDirs();
    void DeleteSelectedDirs();
};
