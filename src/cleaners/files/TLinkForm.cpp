#include "cleaners/files/TLinkForm.h"

#include "cleaners/files/ShortcutCheck.h"
#include "core/CallbackSink.h"
#include "cleaners/files/TdcShellLink.h"
#include "widgets/ToolWindowKit.h"
#include "platform/MessagePump.h"
#include "core/Disposal.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace ToolWindowKit;

QString TLinkForm::PlacedTarget(const QString& linkPath, const QString& target, const QString& fixedLetters)
{
    return ShortcutCheck::placedTarget(linkPath, target, fixedLetters);
}

TLinkForm::TLinkForm(QWidget* parent)
    : TToolWindow(parent, "TLinkForm", QStringLiteral(" Проверка ярлыков"), QStringLiteral("shortcuts.htm"),
                  QSize(600, 500), QSize(600, 500))
    , ImgList{menuImage(11)}
    , ShLink(new TdcShellLink(this))
    , Search(*ShLink)
{
    ShLink->setObjectName(QStringLiteral("ShLink"));
    // The box is read afresh for every shortcut: it may change mid-search.
    Search.exeOnly = [this] { return ProgCheck->isChecked(); };
    linkScan.OnReady = [this](const QStringList& result) { linkScanReady(result); };
    buildControls();
}

void TLinkForm::buildControls()
{
    SrcLinkBtn = addButton(Bar, "SrcLinkBtn", "search", QStringLiteral("Поиск ярлыков"));
    StopBtn = addButton(Bar, "StopBtn", "stop", QStringLiteral("Остановить поиск"));
    Bar->addSeparator();
    DelLinkBtn = addButton(Bar, "DelLinkBtn", "delete", QStringLiteral("Удалить все ошибочные ярлыки"));
    Bar->addSeparator();
    ExitBtn = addButton(Bar, "ExitBtn", "exit", QStringLiteral("Выход"));
    Bar->addSeparator();
    ProgCheck = new QCheckBox(QStringLiteral("Проверять только ярлыки к программам (*.exe)"), Bar);
    ProgCheck->setObjectName(QStringLiteral("ProgCheck"));
    ProgCheck->setToolTip(QStringLiteral("Если опция отключена, проверяются все ярлыки"));
    ProgCheck->setChecked(true);
    Bar->addWidget(ProgCheck);

    LinkView = addList("LinkView", {QStringLiteral(" Ярлыки с ошибками"), QStringLiteral(" Ярлык ссылается на ...")},
                       LinkModel);
    LinkView->setSelectionMode(QAbstractItemView::SingleSelection);
    LinkView->horizontalHeader()->setStretchLastSection(false);
    LinkView->setColumnMinimumWidth(0, 290);
    LinkView->setColumnMinimumWidth(1, 280);
    Pane = addStatus("Pane");
    Pane->setText(
        QStringLiteral("ВНИМАНИЕ! При поиске программа может не отвечать на запросы. ДОЖДИТЕСЬ ЗАВЕРШЕНИЯ ПОИСКА."));
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
    TToolWindow::showEvent(event);
    QTimer::singleShot(0, this, &TLinkForm::FormResize); // once the list has its size
}

void TLinkForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

bool TLinkForm::stopJob()
{
    TmFileScan::Stop();
    return true;
}

void TLinkForm::showBusy(bool busy)
{
    // The walk's end (linkScanReady) or the stop command gives the buttons
    // back; only the start takes them.
    if (busy)
        setIdleButtons(false);
}

void TLinkForm::FormShow()
{
    FixedDriveLetters.clear();
    raise();
    activateWindow();
    Drives->refresh();
    for (const QString& item : Drives->itemTexts())
        FixedDriveLetters.append(item.left(1));
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
    if (Busy())
        return;
    LinkCount = 0;
    BrokenLinkCount = 0;
    Job walk(*this);
    LinkModel->removeRows(0, LinkModel->rowCount());
    core::CallbackSink sink;
    sink.onFound = [this](const core::Finding& found) {
        insertTop(LinkModel, {found.path, found.detail}, found.path, ImgList[0], found.id);
    };
    sink.onProgress = [this](const QString& file, qsizetype) { linkScanFileFound(file); };
    Search.scan(core::Context::current(), sink, FixedDriveLetters, FixedDriveLetters);
}

void TLinkForm::linkScanFileFound(const QString&)
{
    LinkCount = Search.judged();
    BrokenLinkCount = Search.broken();
    showCounts(QStringLiteral("Поиск..."));
    platform::MessagePump::process();
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
    if (Busy())
        return; // the rows are still being added to
    deleteRows(LinkModel, allRows(LinkModel), Disposal::Recycle, Pane, QStringLiteral("Ярлыки удалены"));
}
