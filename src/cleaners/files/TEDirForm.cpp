#include "cleaners/files/TEDirForm.h"

#include "cleaners/files/EInOutError.h"
#include "cleaners/files/EmptyFolders.h"
#include "core/CallbackSink.h"
#include "widgets/ToolWindowKit.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "platform/ShellOpen.h"
#include "platform/TickCounter.h"
#include "core/Disposal.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QStandardItemModel>
#include <QThread>
#include <QToolButton>


using namespace ToolWindowKit;

TEDirForm::TEDirForm(QWidget* parent)
    : TToolWindow(parent, "TEDirForm", QStringLiteral(" Поиск пустых каталогов"), QStringLiteral("emptydirs.htm"),
                  QSize(600, 500), QSize(600, 400))
    , DImageList{ToolWindowKit::menuImage(9), ToolWindowKit::menuImage(10), ToolWindowKit::menuImage(0)}
{
    buildControls();
}

void TEDirForm::buildControls()
{
    addDriveSearchBar({"SrcBtn", QStringLiteral("Поиск пустых каталогов"), "DelBtn",
                       QStringLiteral("Удалить все найденные каталоги")},
                      SrcBtn, Drive, DelBtn, ExitBtn);
    DirsView = addList("DirsView", {QStringLiteral(" Каталог")}, DirsModel);
    DirsView->setColumnMinimumWidth(0, 350);
    StatPane = addStatus("StatPane");

    DirsMenu = addPopup("DirsMenu", DirsView);
    DellAllItem = addItem(DirsMenu, "DellAllItem", DImageList[2], QStringLiteral(" Удалить все каталоги"));
    DelSelectedDirsItem = addItem(DirsMenu, "DelSelectedDirsItem", DImageList[1],
                                  QStringLiteral(" Удалить выбранные каталоги "));
    DirsMenu->addSeparator();
    DelFromListItem = addItem(DirsMenu, "DelFromListItem", QIcon(),
                              QStringLiteral(" Удалить выделенные каталоги из списка"));
    DirsMenu->addSeparator();
    OpenDirItem = addItem(DirsMenu, "OpenDirItem", DImageList[0], QStringLiteral(" Открыть каталог в \"Проводнике\""));

    connect(SrcBtn, &QToolButton::clicked, this, &TEDirForm::SrcBtnClick);
    connect(DelBtn, &QToolButton::clicked, this, &TEDirForm::DelBtnClick);
    connect(DellAllItem, &QAction::triggered, this, &TEDirForm::DellAllItemClick);
    connect(DelSelectedDirsItem, &QAction::triggered, this, &TEDirForm::DelSelectedDirsItemClick);
    connect(DelFromListItem, &QAction::triggered, this, &TEDirForm::DelFromListItemClick);
    connect(OpenDirItem, &QAction::triggered, this, &TEDirForm::OpenDirItemClick);
}

void TEDirForm::FormShow()
{
    StatPane->clear();
}

void TEDirForm::SrcBtnClick()
{
    if (Busy())
        return;
    StatPane->setText(QStringLiteral("Идет поиск..."));
    EmptyFolderJob::Result result;
    {
        Job search(*this);
        DirsModel->removeRows(0, DirsModel->rowCount());
        DirSearch.DirsFound.clear();
        platform::MessagePump::process();
        core::CallbackSink sink;
        sink.onFound = [this](const core::Finding& folder) {
            insertTop(DirsModel, {folder.path.toUpper()}, folder.path, {}, folder.id);
        };
        result = Search.scan(core::Context::current(), sink, Drive->currentText().left(1));
        showWholeList();
        StatPane->setTextNow(QStringLiteral("Поиск завершен       Проверено каталогов - ") + QString::number(result.checked)
                          + QStringLiteral("       Пустых - ") + QString::number(DirsModel->rowCount()));
    }
    if (result.failure)
        platform::MessageBoxService::show(
            {result.failure->Message(), {}, platform::MsgButtons::Ok, platform::MsgIcon::Error, this});
}

void TEDirForm::showWholeList()
{
    // A short pause with messages running, so the whole list is painted.
    const quint32 start = platform::TickCounter::now();
    while (platform::TickCounter::now() - start < 200) {
        platform::MessagePump::process();
        QThread::msleep(5);
    }
}

quint64 TEDirForm::DirContentSize(const QString& path)
{
    return EmptyFolders::contentSize(path);
}

void TEDirForm::DelBtnClick()
{
    if (confirmed(QStringLiteral("ВНИМАНИЕ! Все найденные каталоги будут удалены. Продолжить?")))
        DeleteAllDirs();
}

void TEDirForm::DeleteAllDirs()
{
    deleteRows(DirsModel, allRows(DirsModel), Disposal::EraseEmptyFolder, StatPane, QStringLiteral("Каталоги удалены"));
}

void TEDirForm::DelSelectedDirsItemClick()
{
    if (confirmed(QStringLiteral("ВНИМАНИЕ! Все выделенные каталоги будут удалены. Продолжить?")))
        DeleteSelectedDirs();
}

void TEDirForm::DeleteSelectedDirs()
{
    deleteRows(DirsModel, selectedRows(DirsView), Disposal::EraseEmptyFolder, StatPane,
               QStringLiteral("Каталоги удалены"));
}

void TEDirForm::DelFromListItemClick()
{
    if (!Busy())
        removeRows(DirsModel, selectedRows(DirsView));
}

void TEDirForm::OpenDirItemClick()
{
    if (Busy())
        return;
    for (int row : selectedRows(DirsView))
        platform::ShellOpen::openFolder(realPathOf(DirsModel, row));
}
