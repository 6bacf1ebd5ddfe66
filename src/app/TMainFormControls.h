#pragma once
// The controls of the main window, each under the name the program gives
// it (also its objectName), and the code that lays them out: the menu bar,
// the tool bar, the found-file list, the log with the deletion panel over
// it, and the status bar. The window's behaviour lives in TMainForm.

#include "widgets/StatusPane.h"

#include <QIcon>
#include <QList>
#include <QStringList>

class ColourLogView;
class DriveBox;
class ImageToolButton;
class QAction;
class QLabel;
class QListWidget;
class QMainWindow;
class QMenu;
class QMenuBar;
class QStackedLayout;
class QStatusBar;
class QToolBar;
class QWidget;
class ReportListView;
class TProgressPanel;

struct TMainFormControls {
    // Creates every control inside window (which owns them).
    void buildControls(QMainWindow* window);

    // The small menu image with this index (from the program's own list).
    static QIcon ImageList16(int index);

    QMenuBar* MainMenu = nullptr;
    QMenu *FileMenuItem = nullptr, *RunMenuItem = nullptr, *PlugnMenuItem = nullptr, *RegMenuItem = nullptr,
          *HelpMenuItem = nullptr, *AddonsMenu = nullptr, *IEmenuItem = nullptr, *FilePopupMenu = nullptr,
          *LogPopMenu = nullptr, *PrefixMenuItem = nullptr;
    QAction *OptionsMenuItem = nullptr, *ExitmenuItem = nullptr, *FindMenuItem = nullptr, *StopMenuItem = nullptr,
            *CompareMenuItem = nullptr, *DelMenuItem = nullptr, *UninstMenuItem = nullptr, *ArunMenuItem = nullptr,
            *HelpMItem = nullptr, *HomepageMenuItem = nullptr, *MailMenuItem = nullptr, *UpdateMenuItem = nullptr,
            *AboutMenuItem = nullptr;
    QAction *DocMenuItem = nullptr, *HistoryMenuItem = nullptr, *IECClearMenuItem = nullptr,
            *ClCookiesMenuItem = nullptr, *EntURLSmenuItem = nullptr, *FindLinksMenuItem = nullptr,
            *EDirMenuItem = nullptr, *ZeroByteMenuItem = nullptr, *PagefileMenuItem = nullptr,
            *WineLeftoversMenuItem = nullptr;
    QAction *DelPopupItem = nullptr, *ClearSelectedMenuItem = nullptr, *ClearFileListMenuItem = nullptr,
            *ClearLogPopup = nullptr;
    QObject* ActionList = nullptr; // owns the three actions below
    QAction *FindAction = nullptr, *DelFilesAction = nullptr, *CompAction = nullptr;

    QToolBar* Toolbar = nullptr;
    ImageToolButton *SearchBtn = nullptr, *StopBtn = nullptr, *Compbtn = nullptr, *DelBtn = nullptr,
                    *AddonsBtn = nullptr, *OptionsBtn = nullptr, *ExitBtn = nullptr;

    QWidget* FilePanel = nullptr;
    ReportListView* FileList = nullptr;
    DriveBox* Drives = nullptr;
    QListWidget* PlugList = nullptr;
    QStringList DiskList; // drive prefixes of the current search
    QStringList ExtList;  // masks of the current search

    QWidget* LogPanel = nullptr;
    QStackedLayout* LogStack = nullptr;
    ColourLogView* LogRich = nullptr;
    TProgressPanel* ProgressPanel = nullptr;

    QStatusBar* StatusBar = nullptr;
    QLabel *GlyphStatus = nullptr, *PrefixStatus = nullptr;
    StatusPane *TextStatus = nullptr, *TextStatus2 = nullptr; // told per found file

private:
    void buildActions(QMainWindow* window);
    void buildMenus(QMainWindow* window);
    void buildToolbar(QMainWindow* window);
    void buildPanels(QMainWindow* window);
    void buildStatusBar(QMainWindow* window);
};
