#include "app/TMainForm.h"

#include "platform/DriveTable.h"

#include "app/ImageLibrary.h"
#include "app/TReportForm.h"
#include "cleaners/files/SizeEstimate.h"
#include "cleaners/files/TEDirForm.h"
#include "cleaners/files/TEFileForm.h"
#include "cleaners/files/TLinkForm.h"
#include "cleaners/wine/TWineLeftForm.h"
#include "platform/DriveTable.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "core/Disposal.h"
#include "settings/Settings.h"
#include "settings/TOptionsForm.h"
#include "widgets/ColourLogView.h"
#include "widgets/FlatMenuStyle.h"
#include "widgets/ImageToolButton.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QStackedLayout>
#include <QTimer>

using platform::MessageBoxService;

namespace {

QColor colourOf(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
    , FileModel(new TFoundFileModel(&Iconlist, this))
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral(" Varnel " VARNEL_VERSION));
    setMinimumSize(600, 450);
    resize(600, 450);
    buildControls(this);
    // The log's "found" line and the row hold the same path: kept once.
    FileModel->setTextStore(LogRich->textStore());
    FileList->setModel(FileModel);
    FileList->setColumnWidth(0, 315);
    FileList->setColumnMinimumWidth(0, 315);
    FileList->setColumnWidth(1, 120);
    FileList->setColumnMinimumWidth(1, 120);
    FileList->setColumnWidth(2, 123);
    FileList->setColumnMinimumWidth(2, 75);
    FileScan.SubDirectories = true;
    FileScan.OnReady = [this](const QStringList& result) { FileScanReady(result); };
    Outcomes.subscribe([this](const CleanOutcome& outcome) { logOutcome(outcome); });
    connectCommands();
    connectPrefixCommands();
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::connectCommands()
{
    connect(SearchBtn, &QToolButton::clicked, FindAction, &QAction::trigger);
    connect(FindMenuItem, &QAction::triggered, FindAction, &QAction::trigger);
    connect(FindAction, &QAction::triggered, this, &TMainForm::FindActionExecute);
    connect(StopBtn, &QToolButton::clicked, this, &TMainForm::StopBtnClick);
    connect(StopMenuItem, &QAction::triggered, this, &TMainForm::StopMenuItemClick);
    connect(Compbtn, &QToolButton::clicked, CompAction, &QAction::trigger);
    connect(CompAction, &QAction::triggered, this, &TMainForm::CompActionExecute);
    for (QObject* source :
         {static_cast<QObject*>(DelBtn), static_cast<QObject*>(DelMenuItem), static_cast<QObject*>(DelPopupItem)}) {
        if (auto* button = qobject_cast<QToolButton*>(source))
            connect(button, &QToolButton::clicked, DelFilesAction, &QAction::trigger);
        else
            connect(static_cast<QAction*>(source), &QAction::triggered, DelFilesAction, &QAction::trigger);
    }
    connect(DelFilesAction, &QAction::triggered, this, &TMainForm::DelFilesActionExecute);
    connect(OptionsBtn, &QToolButton::clicked, this, &TMainForm::OptionsBtnClick);
    connect(OptionsMenuItem, &QAction::triggered, this, &TMainForm::OptionsMenuItemClick);
    connect(ExitBtn, &QToolButton::clicked, this, &TMainForm::ExitBtnClick);
    connect(ExitmenuItem, &QAction::triggered, this, &TMainForm::ExitmenuItemClick);
    connect(EDirMenuItem, &QAction::triggered, this, &TMainForm::EDirMenuItemClick);
    connect(ZeroByteMenuItem, &QAction::triggered, this, &TMainForm::ZeroByteMenuItemClick);
    connect(FindLinksMenuItem, &QAction::triggered, this, &TMainForm::FindLinksMenuItemClick);
    connect(WineLeftoversMenuItem, &QAction::triggered, this, &TMainForm::WineLeftoversMenuItemClick);
    connectHelpCommands();
    connectTraceCommands();
    connectBrowserCommands();

    for (const ToolGlyph& g : toolGlyphs) {
        connect(this->*g.button, &ImageToolButton::mouseEntered, this, g.enter);
        connect(this->*g.button, &ImageToolButton::mouseLeft, this, g.leave);
    }

    connect(FileList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { FilePopupMenu->popup(FileList->viewport()->mapToGlobal(at)); });
    connect(LogRich, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { LogPopMenu->popup(LogRich->viewport()->mapToGlobal(at)); });
    connect(ClearSelectedMenuItem, &QAction::triggered, this, &TMainForm::ClearSelectedMenuItemClick);
    connect(ClearFileListMenuItem, &QAction::triggered, this, &TMainForm::ClearFileListMenuItemClick);
    connect(ClearLogPopup, &QAction::triggered, this, &TMainForm::ClearLogPopupClick);
}

// ---- lifecycle -------------------------------------------------------------

void TMainForm::FormCreate()
{
    FirstPaint = true;
    // Root's default drives are every disk of the machine; whoever started
    // it so should know before the first search.
    if (platform::DriveTable::reachesWholeSystem())
        WriteLog(QStringLiteral("Внимание: программа запущена от имени root — поиск и удаление охватят всю систему."),
                 clRed);
    LoadPlugins();
}

void TMainForm::FormShow()
{
    if (applyStoredGeometry()) {
        LoadStatusGlyph(201);
        applyViewSettings();
    }
    ShowPagefileFlag();
}

void TMainForm::setVisible(bool visible)
{
    // A position counts as the frame's only while the window does not exist
    // yet. Placed by the show handler alone, which runs once it exists, a
    // window manager would put the inside there and the title bar above it,
    // and every start would creep upward by the title bar's height. Placed
    // here first, the show handler's own placing changes nothing.
    if (visible && !testAttribute(Qt::WA_WState_Created))
        applyStoredGeometry();
    QMainWindow::setVisible(visible);
}

bool TMainForm::applyStoredGeometry()
{
    // Each key is applied in turn; a value that is no number ends the steps,
    // and the window keeps its designed geometry for the rest.
    const std::pair<NumberKey, std::function<void(int)>> steps[] = {
        {SettingKeys::WindowTop, [this](int v) { move(x(), v); }},
        {SettingKeys::WindowLeft, [this](int v) { move(v, y()); }},
        {SettingKeys::WindowHeight, [this](int v) { resize(width(), v); }},
        {SettingKeys::WindowWidth, [this](int v) { resize(v, height()); }},
        {SettingKeys::FirstColumn, [this](int v) { FileList->setColumnWidthRespectingMinimum(0, v); }},
    };
    for (const auto& [key, apply] : steps) {
        const std::optional<int> v = ReadNumber(key);
        if (!v)
            return false;
        apply(*v);
    }
    return true;
}

void TMainForm::applyViewSettings()
{
    FileList->setGridLines(ReadSwitch(SettingKeys::Separators));
    FlatMenuStyle::apply(MainMenu, {AddonsMenu, FilePopupMenu, LogPopMenu}, ReadSwitch(SettingKeys::XPMenu));
}

void TMainForm::FormPaint()
{
    applyViewSettings();
    {
        // Every paint sets all the tool glyphs: one load of the library
        // serves them all.
        const ImageLibrary::Batch images;
        for (const ToolGlyph& g : toolGlyphs)
            LoadButtonGlyph(this->*g.button, g.normal);
    }
    StartAutoSearch();
    FirstPaint = false;
}

void TMainForm::StartAutoSearch()
{
    // Started right after the paint rather than inside it: a walk lets
    // messages run, and painting must not nest.
    if (FirstPaint && ReadSwitch(SettingKeys::AutoStart))
        QTimer::singleShot(0, this, &TMainForm::FindActionExecute);
}

void TMainForm::FormClose()
{
    WriteNumber(SettingKeys::WindowTop, y());
    WriteNumber(SettingKeys::WindowLeft, x());
    WriteNumber(SettingKeys::WindowHeight, height());
    WriteNumber(SettingKeys::WindowWidth, width());
    WriteNumber(SettingKeys::FirstColumn, FileList->columnWidth(0));
    UnloadPlugins();
    startChosenEnvironment();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMainForm::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    if (paintsOwnSurface(event->rect()))
        FormPaint();
}

bool TMainForm::paintsOwnSurface(const QRect& painted) const
{
    // The bars and the central widget paint no background of their own, so
    // every repaint of one of their controls (a tool button's hover image, a
    // status text, a list row) makes Qt paint the window beneath it too. Such
    // a paint lies inside that one child; the window's own paints (shown,
    // resized, uncovered) reach beyond it.
    for (const QObject* child : children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget && widget->isVisible() && !widget->isWindow() && widget->geometry().contains(painted))
            return false;
    }
    return true;
}

QMenu* TMainForm::createPopupMenu()
{
    return nullptr; // the tool bar and the menu bar have no pop-up menu
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (DeferCloseForPlugin()) {
        event->ignore();
        return;
    }
    if (Busy()) {
        // Closing under a running walk or pass would pull the window from
        // under it: stop the search, and close once the job has ended.
        closePending_ = true;
        TmFileScan::Stop();
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TMainForm::finishJob()
{
    busy_ = Job::None;
    if (closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

// ---- images ----------------------------------------------------------------

const TMainForm::ToolGlyph TMainForm::toolGlyphs[7] = {
    {&TMainFormControls::SearchBtn, 100, 110, &TMainForm::SearchBtnMouseEnter, &TMainForm::SearchBtnMouseLeave},
    {&TMainFormControls::StopBtn, 101, 111, &TMainForm::StopBtnMouseEnter, &TMainForm::StopBtnMouseLeave},
    {&TMainFormControls::Compbtn, 102, 112, &TMainForm::CompbtnMouseEnter, &TMainForm::CompbtnMouseLeave},
    {&TMainFormControls::DelBtn, 103, 113, &TMainForm::DelBtnMouseEnter, &TMainForm::DelBtnMouseLeave},
    {&TMainFormControls::AddonsBtn, 104, 114, &TMainForm::AddonsBtnMouseEnter, &TMainForm::AddonsBtnMouseLeave},
    {&TMainFormControls::OptionsBtn, 105, 115, &TMainForm::OptionsBtnMouseEnter, &TMainForm::OptionsBtnMouseLeave},
    {&TMainFormControls::ExitBtn, 106, 116, &TMainForm::ExitBtnMouseEnter, &TMainForm::ExitBtnMouseLeave},
};

void TMainForm::showToolGlyph(ImageToolButton* button, bool hover)
{
    for (const ToolGlyph& g : toolGlyphs)
        if (this->*g.button == button)
            LoadButtonGlyph(button, hover ? g.hover : g.normal);
}

void TMainForm::LoadButtonGlyph(ImageToolButton* button, int id)
{
    const std::optional<QImage> image = ImageLibrary::Load(id);
    if (!image) {
        reportImageError();
        return;
    }
    // Setting an equal icon again would only re-lay the tool bar out.
    if (shownGlyph_.value(button) != id) {
        button->setIcon(QIcon(QPixmap::fromImage(*image)));
        shownGlyph_.insert(button, id);
    }
}

void TMainForm::LoadStatusGlyph(int id)
{
    const std::optional<QImage> image = ImageLibrary::Load(id);
    if (!image) {
        reportImageError();
        return;
    }
    GlyphStatus->setPixmap(QPixmap::fromImage(*image));
}

void TMainForm::reportImageError()
{
    // Images are loaded on every paint: one box per run is enough, and the
    // box must not open inside a paint.
    if (imageErrorShown_)
        return;
    imageErrorShown_ = true;
    QTimer::singleShot(0, this, [this] {
        MessageBoxService::show(
            {ImageLibrary::ErrorText(), {}, platform::MsgButtons::Ok, platform::MsgIcon::Error, this});
    });
}

// ---- dialogs -----------------------------------------------

void TMainForm::OptionsBtnClick()
{
    TOptionsForm options(this);
    ShowModal(options);
}

void TMainForm::OptionsMenuItemClick()
{
    OptionsBtnClick();
}

void TMainForm::EDirMenuItemClick()
{
    TEDirForm tool(this);
    ShowModal(tool);
}

void TMainForm::ZeroByteMenuItemClick()
{
    TEFileForm tool(this);
    ShowModal(tool);
}

void TMainForm::FindLinksMenuItemClick()
{
    TLinkForm tool(this);
    ShowModal(tool);
}

void TMainForm::WineLeftoversMenuItemClick()
{
    TWineLeftForm tool(this);
    ShowModal(tool);
}

void TMainForm::CompActionExecute()
{
    SizeEstimate::handOver(TotalSize);
    TReportForm report(this);
    ShowModal(report);
}

// ---- log and list ----------------------------------------------------------

void TMainForm::WriteLog(const QString& text, quint32 colour)
{
    LogRich->appendLine(text, colourOf(colour));
    platform::MessagePump::process();
}

void TMainForm::WriteLog(const QString& prefix, const QString& text, quint32 colour)
{
    LogRich->appendLine(prefix, text, colourOf(colour));
    platform::MessagePump::process();
}

void TMainForm::ClearSelectedMenuItemClick()
{
    if (busy_ == Job::Deletion)
        return; // the pass walks the rows by position
    QList<int> positions;
    for (const QModelIndex& index : FileList->selectionModel()->selectedRows())
        positions.append(index.row());
    FileModel->removePositions(positions);
}

void TMainForm::ClearFileListMenuItemClick()
{
    if (busy_ != Job::Deletion)
        FileModel->clearRows();
}

void TMainForm::ClearLogPopupClick()
{
    LogRich->clear();
}
