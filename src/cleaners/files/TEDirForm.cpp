#include "cleaners/files/TEDirForm.h"

#include "cleaners/files/EInOutError.h"
#include "cleaners/files/EmptyFolders.h"
#include "widgets/ToolWindowKit.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "platform/ShellOpen.h"
#include "platform/TickCounter.h"
#include "core/Disposal.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QStandardItemModel>
#include <QThread>
#include <QToolButton>

#include <optional>

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
    std::optional<EInOutError> failure;
    {
        Job search(*this);
        DirsModel->removeRows(0, DirsModel->rowCount());
        DirSearch.DirsFound.clear();
        DirSearch.FoundIds.clear();
        DirSearch.FoundContents.clear();
        platform::MessagePump::process();
        DirSearch.StartDir = Drive->currentText().left(1) + QStringLiteral(":\\");
        try {
            DirSearch.Execute();
        } catch (const EInOutError& error) {
            failure = error; // the partial result is listed first
        }
        listFound();
        const int checked = DirsModel->rowCount();
        RemoveParentDirs();
        RemoveNonEmptyDirs();
        StatPane->setText(QStringLiteral("Поиск завершен       Проверено каталогов - ") + QString::number(checked)
                          + QStringLiteral("       Пустых - ") + QString::number(DirsModel->rowCount()));
    }
    if (failure)
        platform::MessageBoxService::show(
            {failure->Message(), {}, platform::MsgButtons::Ok, platform::MsgIcon::Error, this});
}

void TEDirForm::listFound()
{
    for (qsizetype i = 0; i < DirSearch.DirsFound.size(); ++i) {
        const QString path = TFindDirs::PathOf(DirSearch.DirsFound[i]);
        insertTop(DirsModel, {path.toUpper()}, path, {}, DirSearch.FoundIds.value(i));
    }
    // A short pause with messages running, so the whole list is painted.
    const quint32 start = platform::TickCounter::now();
    while (platform::TickCounter::now() - start < 200) {
        platform::MessagePump::process();
        QThread::msleep(5);
    }
}

void TEDirForm::RemoveParentDirs()
{
    QStringList texts;
    for (int row = 0; row < DirsModel->rowCount(); ++row)
        texts.append(DirsModel->item(row)->text());
    removeRows(DirsModel, EmptyFolders::parentRows(texts));
}

void TEDirForm::RemoveNonEmptyDirs()
{
    // What the walk judged of each folder, so none is read a second time.
    QHash<QString, TFindDirs::Contents> judged;
    judged.reserve(DirSearch.DirsFound.size());
    for (qsizetype i = 0; i < DirSearch.DirsFound.size(); ++i)
        judged.insert(TFindDirs::PathOf(DirSearch.DirsFound[i]), DirSearch.FoundContents.value(i));
    QStringList paths;
    QList<TFindDirs::Contents> contents;
    for (int row = 0; row < DirsModel->rowCount(); ++row) {
        paths.append(realPathOf(DirsModel, row));
        contents.append(judged.value(paths.last(), TFindDirs::Contents::Unknown));
    }
    removeRows(DirsModel, EmptyFolders::nonEmptyRows(paths, contents));
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
