#include "cleaners/files/TEFileForm.h"

#include "cleaners/files/TdcFileInfo.h"
#include "widgets/ToolWindowKit.h"
#include "core/CallbackSink.h"
#include "platform/MessagePump.h"
#include "core/Disposal.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QToolBar>
#include <QToolButton>

using namespace ToolWindowKit;

TEFileForm::TEFileForm(QWidget* parent)
    : TToolWindow(parent, "TEFileForm", QStringLiteral(" Поиск файлов размером 0 байт"),
                  QStringLiteral("zerobytes.htm"), QSize(600, 500), QSize(600, 400))
    , ImageList{QIcon(), ToolWindowKit::menuImage(10), ToolWindowKit::menuImage(0)}
    , FileInf(new TdcFileInfo(this))
{
    FileInf->setObjectName(QStringLiteral("FileInf"));
    buildControls();
}

void TEFileForm::buildControls()
{
    addDriveSearchBar(
        {"SrcfileBtn", QStringLiteral("Поиск файлов"), "DelfileBtn", QStringLiteral("Удалить все найденные файлы")},
        SrcfileBtn, Drive, DelfileBtn, ExitBtn);
    FileView = addList("FileView", {QStringLiteral(" Файл")}, FileModel);
    FileView->setColumnMinimumWidth(0, 350);
    StatPane = addStatus("StatPane");

    FileMenu = addPopup("FileMenu", FileView);
    DellAllFilesItem = addItem(FileMenu, "DellAllFilesItem", ImageList[2], QStringLiteral(" Удалить все файлы"));
    DelSelectedFilesItem = addItem(FileMenu, "DelSelectedFilesItem", ImageList[1],
                                   QStringLiteral(" Удалить выбранные файлы"));
    FileMenu->addSeparator();
    DelFFromListItem = addItem(FileMenu, "DelFFromListItem", QIcon(),
                               QStringLiteral(" Удалить выделенные файлы из списка"));

    connect(SrcfileBtn, &QToolButton::clicked, this, &TEFileForm::SrcfileBtnClick);
    connect(DelfileBtn, &QToolButton::clicked, this, &TEFileForm::DelfileBtnClick);
    connect(DellAllFilesItem, &QAction::triggered, this, &TEFileForm::DellAllFilesItemClick);
    connect(DelSelectedFilesItem, &QAction::triggered, this, &TEFileForm::DelSelectedFilesItemClick);
    connect(DelFFromListItem, &QAction::triggered, this, &TEFileForm::DelFFromListItemClick);
}

void TEFileForm::FormShow()
{
    StatPane->clear();
}

void TEFileForm::SrcfileBtnClick()
{
    if (Busy())
        return;
    StatPane->setText(QStringLiteral("Идет поиск..."));
    {
        // The walker skips a folder it cannot read and raises nothing.
        Job search(*this);
        FileModel->removeRows(0, FileModel->rowCount());
        platform::MessagePump::process();
        core::CallbackSink sink;
        sink.onProgress = [this](const QString& file, qsizetype) { EFSearchFind(nullptr, file); };
        sink.onFound = [this](const core::Finding& found) {
            insertTop(FileModel, {found.path.toUpper()}, found.path, {}, found.id);
        };
        Search.scan(core::Context::current(), sink, Drive->currentText().left(1));
    }
    StatPane->setTextNow(QStringLiteral("Поиск завершен...   Файлов найдено - ") + QString::number(FileModel->rowCount()));
}

void TEFileForm::EFSearchFind(QObject*, const QString& FindFile)
{
    static const QString checking = QStringLiteral("Идет поиск...   Проверка: ");
    StatPane->setText(checking, FindFile);
}

void TEFileForm::DelfileBtnClick()
{
    if (confirmed(QStringLiteral("ВНИМАНИЕ! Все найденные файлы будут удалены. Продолжить?")))
        DeleteAllFiles();
}

void TEFileForm::DeleteAllFiles()
{
    deleteRows(FileModel, allRows(FileModel), Disposal::Erase, StatPane, QStringLiteral("Файлы удалены"));
}

void TEFileForm::DelSelectedFilesItemClick()
{
    if (confirmed(QStringLiteral("ВНИМАНИЕ! Все выделенные файлы будут удалены. Продолжить?")))
        DeleteSelectedFiles();
}

void TEFileForm::DeleteSelectedFiles()
{
    deleteRows(FileModel, selectedRows(FileView), Disposal::Erase, StatPane, QStringLiteral("Файлы удалены"));
}

void TEFileForm::DelFFromListItemClick()
{
    if (!Busy())
        removeRows(FileModel, selectedRows(FileView));
}
