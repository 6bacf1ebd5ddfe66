#pragma once
// The program's main window: the junk-file search from the settings to the
// found-file list, deletion of the found files, the log, and the commands
// of every other tool.
//
// Long commands (search, deletion) let pending messages run while they
// work, so handlers run nested inside them. A second search or deletion
// while one runs is refused, and closing the window then is deferred until
// the running one has ended (the search is asked to stop first).

#include "app/FoundIconList.h"
#include "app/TFoundFileModel.h"
#include "app/TLarAssociatedIcon.h"
#include "app/TMainFormControls.h"
#include "cleaners/traces/TFindFile.h"
#include "plugins/TmxPluginLoader.h"
#include "scan/JunkSearch.h"
#include "core/OutcomeSink.h"
#include "scan/JunkSearchJob.h"
#include "scan/TmFileScan.h"

#include <QDialog>
#include <QMainWindow>
#include <functional>
#include <optional>

class TMainForm : public QMainWindow, public TMainFormControls {
    Q_OBJECT
public:
    // Colours of log lines, as 0x00BBGGRR words.
    static constexpr quint32 clBlack = 0x000000;
    static constexpr quint32 clBlue = 0xFF0000;
    static constexpr quint32 clRed = 0x0000FF;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Lifecycle: created, shown (geometry and view from the settings), every
    // paint (view settings, tool bar images, the automatic search once),
    // closed (geometry written back).
    void FormCreate();
    void FormShow();
    void FormPaint();
    void FormClose();

    // Loads bitmap id of the image library into a tool bar button or the
    // status image. A missing library or bitmap leaves the image as it was
    // and shows the error box (once, until an image loads again).
    void LoadButtonGlyph(ImageToolButton* button, int id);
    void LoadStatusGlyph(int id);

    void SearchBtnMouseEnter() { showToolGlyph(SearchBtn, true); }
    void SearchBtnMouseLeave() { showToolGlyph(SearchBtn, false); }
    void StopBtnMouseEnter() { showToolGlyph(StopBtn, true); }
    void StopBtnMouseLeave() { showToolGlyph(StopBtn, false); }
    void CompbtnMouseEnter() { showToolGlyph(Compbtn, true); }
    void CompbtnMouseLeave() { showToolGlyph(Compbtn, false); }
    void DelBtnMouseEnter() { showToolGlyph(DelBtn, true); }
    void DelBtnMouseLeave() { showToolGlyph(DelBtn, false); }
    void AddonsBtnMouseEnter() { showToolGlyph(AddonsBtn, true); }
    void AddonsBtnMouseLeave() { showToolGlyph(AddonsBtn, false); }
    void OptionsBtnMouseEnter() { showToolGlyph(OptionsBtn, true); }
    void OptionsBtnMouseLeave() { showToolGlyph(OptionsBtn, false); }
    void ExitBtnMouseEnter() { showToolGlyph(ExitBtn, true); }
    void ExitBtnMouseLeave() { showToolGlyph(ExitBtn, false); }

    void OptionsBtnClick();
    void OptionsMenuItemClick();
    void ExitBtnClick() { close(); }
    void ExitmenuItemClick() { close(); }
    // Runs the search when Search/AutoStart is "Yes" and this is the first paint.
    void StartAutoSearch();

    // The junk-file search: returns when the walk has ended and the rows
    // are marked. Refused while a search or deletion runs.
    void FindActionExecute();
    void StopBtnClick() { TmFileScan::Stop(); }
    void StopMenuItemClick() { TmFileScan::Stop(); }
    // One finding of the search: Found.path is the file's name.
    void FileScanFileFound(const core::Finding& Found);
    void FileScanReady(const QStringList& SearchResult);
    // Fills DiskList, ExtList and the walker's filter from the settings.
    // Returns false (after the error box) when Search/Disk is no number.
    // The plan from the settings and the drive box (DiskList, ExtList and
    // FileScan.SearchFilter set from it); nullopt, after an error box, when
    // Search/Disk is no number.
    std::optional<JunkSearch::SearchPlan> BuildSearchFilter();
    void MarkSystemFiles();
    void MarkExcludedDirs();
    static bool IsInSystemFolder(const QString& P);

    // One deletion pass over every row; marked rows are skipped. Refused
    // while a search or deletion runs.
    void DelFilesActionExecute();
    static bool DeleteFoundFile(const QString& path, const platform::EntryId& listed = {});

    // The file tools, each in a fresh modal window.
    void EDirMenuItemClick();
    void ZeroByteMenuItemClick();
    void FindLinksMenuItemClick();
    void WineLeftoversMenuItemClick();

    // The help menu: the help book, the home page, a mail message to the
    // developers, the update window and the about box.
    void HelpMItemClick();
    void HomepageMenuItemClick();
    void MailMenuItemClick();
    void UpdateMenuItemClick();
    void AboutMenuItemClick();
    // The trace and registry cleaners (TMainFormTraces.cpp): the one-step
    // commands report a fixed text in TextStatus2; the dialogs are modal.
    void DocMenuItemClick();
    void HistoryMenuItemClick();
    void EntURLSmenuItemClick();
    void PagefileMenuItemClick();
    // Sets PagefileMenuItem's check mark from the registry; any failure unchecks it.
    void ShowPagefileFlag();
    void ArunMenuItemClick();
    void UninstMenuItemClick();
    void connectTraceCommands();
    // The browser cleaners (TMainFormBrowser.cpp): self-running modal windows.
    void IECClearMenuItemClick();
    void ClCookiesMenuItemClick();
    void connectBrowserCommands();
    TFindFile* FindRecDocs;

    // Hands the search total to the report through fs.txt and shows it.
    void CompActionExecute();

    // Shows a dialog modally; tests replace it so no dialog waits for a
    // person. The dialog is the caller's.
    std::function<void(QDialog&)> ShowModal = [](QDialog& dialog) { dialog.exec(); };

    // Appends a log line in colour (0x00BBGGRR) and lets messages run.
    void WriteLog(const QString& text, quint32 colour);
    // The same for the line prefix + text; the log shares text's data
    // instead of keeping a joined copy (see ColourLogView::appendLine).
    void WriteLog(const QString& prefix, const QString& text, quint32 colour);
    void ClearSelectedMenuItemClick();
    void ClearFileListMenuItemClick();
    void ClearLogPopupClick();

    // The junk search, and its walker under the name the window knows it by.
    JunkSearchJob Search;
    TmFileScan& FileScan = Search.walker();
    // What the search found and the deletion did, row by row: the log is
    // written from it (TMainFormJobs.cpp).
    OutcomeSink Outcomes;
    TLarAssociatedIcon AsIcon;
    FoundIconList Iconlist;
    TFoundFileModel* FileModel;
    int FoundCount = 0;
    quint64 TotalSize = 0;
    bool FirstPaint = false;

    // True while a search or a deletion pass runs.
    bool Busy() const { return busy_ != Job::None; }

    // Nothing: right-clicking the tool bar or the menu bar opens no menu
    // (Qt would offer one that hides the tool bar).
    QMenu* createPopupMenu() override;

    // Showing the window for the first time places it where varnel.ini says
    // first (see applyStoredGeometry), then shows it.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Job { None, Search, Deletion };

    void connectCommands();
    void logOutcome(const CleanOutcome& outcome);
    void connectHelpCommands();
    void applyViewSettings();
    // Applies Top, Left, Height, Width and the first column's width in turn
    // until a value is no number; false when one was not. Left and Top are
    // the frame's position, as x() and y() give it.
    bool applyStoredGeometry();
    void deleteRow(int row, int& deleted, int& failed);
    void finishJob();
    void reportImageError();
    // Shows button's hover or normal bitmap from toolGlyphs.
    void showToolGlyph(ImageToolButton* button, bool hover);

    // The tool bar, left to right: each button with its normal and hover
    // bitmap and the handlers its mouse-enter and mouse-leave signals run.
    struct ToolGlyph {
        ImageToolButton* TMainFormControls::*button;
        int normal;
        int hover;
        void (TMainForm::*enter)();
        void (TMainForm::*leave)();
    };
    static const ToolGlyph toolGlyphs[7];
    // False when painted lies inside one child bar or the central widget.
    bool paintsOwnSurface(const QRect& painted) const;

    Job busy_ = Job::None;
    bool closePending_ = false;
    bool imageErrorShown_ = false;
    QHash<QWidget*, int> shownGlyph_; // which bitmap each button shows

    // ---- Wine prefixes (TMainFormPrefixes.cpp) -----------------------------
public:
    // Lists "Этот компьютер" and the user's prefixes in PrefixMenuItem, the
    // environment the program works in checked, and names it in
    // PrefixStatus. The prefix the program works in is listed even when no
    // front end knows it.
    void FillPrefixMenu();
    // Closes the window to start the program again inside prefix (the host
    // when empty); nothing when the program already works there.
    void PrefixMenuItemClick(const QString& prefix);
    // Starts the program again in the environment chosen, once the window
    // has closed (its state written). Tests replace it.
    std::function<bool(const QString& prefix)> StartAgainIn;

private:
    void connectPrefixCommands();
    // Called at the end of FormClose: starts the chosen environment's
    // program, when one was chosen.
    void startChosenEnvironment();
    QString currentPrefix_; // the prefix folder as listed; empty on the host
    std::optional<QString> chosenPrefix_;

    // ---- plug-ins (TMainFormPlugins.cpp) -----------------------------------
public:
    // Loads the plug-ins of the program folder's Plugins into the plug-in
    // menu and writes plugins.list (the plug-in part of FormCreate). An
    // error that ends the walk is shown in an error box.
    void LoadPlugins();
    // Empties the plug-in menu, then unloads every plug-in (FormClose).
    void UnloadPlugins();
    // Appends the command's item to the plug-in menu. Throws
    // std::invalid_argument when Name cannot name a menu item.
    void PluginLoaderNewAction(TmxPluginLoader* Sender, const QString& Name, const TmxPluginImage& Image,
                               const TmxPluginImage& HotImage, const TmxPluginImage& DisabledImage,
                               const QString& Caption, bool Enabled, bool Checked, const QString& Hint,
                               quint16 ShortCut, const TmxNotifyEvent& OnAction);
    // Removes and destroys every item of the plug-in menu.
    void PluginLoaderBeforeUnload(TmxPluginLoader* Sender, int Index, bool& CanUnload);
    // True (and the close remembered for when it returns) while a plug-in
    // command runs: unloading its library under it would crash.
    bool DeferCloseForPlugin();

private:
    void runPluginCommand(QAction* item, const TmxNotifyEvent& command);
    int pluginCommands_ = 0; // plug-in commands running, nested
    bool pluginClosePending_ = false;

public:
    // Declared last: it goes first, while the menu it empties still exists.
    TmxPluginLoader PluginLoader;
};
