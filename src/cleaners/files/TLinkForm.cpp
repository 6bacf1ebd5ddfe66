#include "cleaners/files/TLinkForm.h"

#include "cleaners/files/TdcShellLink.h"
#include "cleaners/files/ToolWindowKit.h"
#include "platform/DriveTable.h"
#include "platform/EntryLookup.h"
#include "platform/MessagePump.h"
#include "platform/PathMapper.h"
#include "platform/WinPath.h"
#include "scan/FileHelpers.h"
#include "widgets/HelpKey.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace ToolWindowKit;

namespace {

// The extension of a path's last component, from its last dot, dot included.
QString extensionOf(const QString& path)
{
    const QString name = platform::WinPath::extractFileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool holdsWindows(QChar drive)
{
    const std::optional<platform::EntryData> system
        = platform::EntryLookup::read(QString(drive) + QStringLiteral(":\\windows\\system32"));
    return system && system->isDirectory;
}

} // namespace

QString TLinkForm::PlacedTarget(const QString& linkPath, const QString& target, const QString& fixedLetters)
{
    const QChar letter = platform::WinPath::driveLetter(target);
    if (letter.isNull())
        return {};
    if (platform::DriveTable::lettersAreWindows())
        return fixedLetters.contains(letter, Qt::CaseInsensitive) ? target : QString();
    // On the host's own drive table c: is the host root. A shortcut means
    // the C: of the Windows that made it: the drive it lies on, when that
    // drive holds a Windows installation. Other letters have no place here.
    const QChar own = platform::WinPath::driveLetter(linkPath);
    if (own.isNull() || letter.toLower() != u'c' || !holdsWindows(own))
        return {};
    return QString(own) + target.mid(1);
}

TLinkForm::TLinkForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , ShLink(new TdcShellLink(this))
{
    setObjectName(QStringLiteral("TLinkForm"));
    HelpKey::install(this, QStringLiteral("shortcuts.htm"));
    setWindowTitle(QStringLiteral(" Проверка ярлыков"));
    resize(600, 500);
    setMinimumSize(600, 500);
    ShLink->setObjectName(QStringLiteral("ShLink"));
    linkScan.SubDirectories = true;
    linkScan.OnFileFound = [this](const QString& file) { linkScanFileFound(file); };
    linkScan.OnReady = [this](const QStringList& result) { linkScanReady(result); };
    buildControls();
}

void TLinkForm::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(this);
    SrcLinkBtn = addButton(bar, "SrcLinkBtn", "search", QStringLiteral("Поиск ярлыков"));
    StopBtn = addButton(bar, "StopBtn", "stop", QStringLiteral("Остановить поиск"));
    bar->addSeparator();
    DelLinkBtn = addButton(bar, "DelLinkBtn", "delete", QStringLiteral("Удалить все ошибочные ярлыки"));
    bar->addSeparator();
    ExitBtn = addButton(bar, "ExitBtn", "exit", QStringLiteral("Выход"));
    bar->addSeparator();
    ProgCheck = new QCheckBox(QStringLiteral("Проверять только ярлыки к программам (*.exe)"), bar);
    ProgCheck->setObjectName(QStringLiteral("ProgCheck"));
    ProgCheck->setToolTip(QStringLiteral("Если опция отключена, проверяются все ярлыки"));
    ProgCheck->setChecked(true);
    bar->addWidget(ProgCheck);
    layout->addWidget(bar);

    LinkView = makeList(this, "LinkView", {QStringLiteral(" Ярлыки с ошибками"), QStringLiteral(" Ярлык ссылается на ...")},
                        LinkModel);
    LinkView->setSelectionMode(QAbstractItemView::SingleSelection);
    LinkView->horizontalHeader()->setStretchLastSection(false);
    LinkView->setColumnMinimumWidth(0, 290);
    LinkView->setColumnMinimumWidth(1, 280);
    layout->addWidget(LinkView, 1);
    auto* status = new QStatusBar(this);
    Pane = addStatusPane(status, "Pane");
    Pane->setText(QStringLiteral("ВНИМАНИЕ! При поиске программа может не отвечать на запросы. ДОЖДИТЕСЬ ЗАВЕРШЕНИЯ ПОИСКА."));
    layout->addWidget(status);
    Drives = new DriveBox(DriveBox::LetterCase::AllUpper, this);
    Drives->setObjectName(QStringLiteral("Drives"));
    Drives->hide();

    connect(SrcLinkBtn, &QToolButton::clicked, this, &TLinkForm::SrcLinkBtnClick);
    connect(StopBtn, &QToolButton::clicked, this, &TLinkForm::StopBtnClick);
    connect(DelLinkBtn, &QToolButton::clicked, this, &TLinkForm::DelLinkBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &QDialog::accept);
}

void TLinkForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
    QTimer::singleShot(0, this, &TLinkForm::FormResize); // once the list has its size
}

void TLinkForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TLinkForm::closeEvent(QCloseEvent* event)
{
    // Closing under the running walk would pull the window from under it:
    // stop it, and close once it has returned.
    if (linkScan.Walking()) {
        closePending_ = true;
        TmFileScan::Stop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TLinkForm::FormShow()
{
    linkScan.SearchFilter.clear();
    FixedDriveLetters.clear();
    raise();
    activateWindow();
    Drives->refresh();
    for (const QString& item : Drives->itemTexts()) {
        linkScan.SearchFilter.append(item.left(1) + QStringLiteral(":\\*.lnk"));
        FixedDriveLetters.append(item.left(1));
    }
}

void TLinkForm::FormResize()
{
    LinkView->setColumnWidth(0, LinkView->viewport()->width() - LinkView->columnWidth(1));
}

void TLinkForm::setIdleButtons(bool enabled)
{
    DelLinkBtn->setEnabled(enabled);
    ExitBtn->setEnabled(enabled);
    SrcLinkBtn->setEnabled(enabled);
}

void TLinkForm::showCounts(const QString& state)
{
    Pane->setText(state + QStringLiteral("    Всего ярлыков - ") + QString::number(LinkCount)
                  + QStringLiteral("    Ошибочных - ") + QString::number(BrokenLinkCount));
}

void TLinkForm::SrcLinkBtnClick()
{
    if (linkScan.Walking())
        return;
    LinkCount = 0;
    BrokenLinkCount = 0;
    setIdleButtons(false);
    LinkModel->removeRows(0, LinkModel->rowCount());
    linkScan.Execute();
    if (closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void TLinkForm::linkScanFileFound(const QString& FileName)
{
    platform::MessagePump::process();
    try {
        checkShortcut(FileName);
    } catch (...) {
        // One shortcut's trouble never ends the search.
    }
    platform::MessagePump::process();
}

void TLinkForm::checkShortcut(const QString& path)
{
    const platform::EntryId listed = linkScan.FoundEntry().id;
    ShLink->SetFILENAME(path);
    const QString target = ShLink->LinkTarget;
    // Read afresh for every shortcut: the box may change mid-search.
    if (ProgCheck->isChecked() && extensionOf(target) != u".exe")
        return;
    const QString placed = extensionOf(target).isEmpty() ? QString() : PlacedTarget(path, target, FixedDriveLetters);
    if (!placed.isEmpty()) {
        ++LinkCount;
        if (!platform::EntryLookup::isExistingFile(placed)) {
            insertTop(LinkModel, {path, target}, path, menuImage(11), listed);
            ++BrokenLinkCount;
        }
    }
    showCounts(QStringLiteral("Поиск..."));
}

void TLinkForm::linkScanReady(const QStringList&)
{
    DelLinkBtn->setEnabled(true);
    showCounts(QStringLiteral("Поиск окончен"));
    ExitBtn->setEnabled(true);
    SrcLinkBtn->setEnabled(true);
}

void TLinkForm::StopBtnClick()
{
    TmFileScan::Stop();
    setIdleButtons(true);
}

void TLinkForm::DelLinkBtnClick()
{
    if (linkScan.Walking())
        return; // the rows are still being added to
    try {
        for (int row = 0; row < LinkModel->rowCount(); ++row)
            RecycleFile(realPathOf(LinkModel, row), listedIdOf(LinkModel, row));
    } catch (...) {
    }
    LinkModel->removeRows(0, LinkModel->rowCount());
    Pane->setText(QStringLiteral("Ярлыки удалены"));
}
