#include "cleaners/files/TEFileForm.h"

#include "cleaners/files/TdcFileInfo.h"
#include "cleaners/files/ToolWindowKit.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "scan/FileHelpers.h"
#include "widgets/HelpKey.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace ToolWindowKit;

TEFileForm::TEFileForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , ImageList{QIcon(), ToolWindowKit::menuImage(10), ToolWindowKit::menuImage(0)}
    , FileInf(new TdcFileInfo(this))
{
    setObjectName(QStringLiteral("TEFileForm"));
    HelpKey::install(this, QStringLiteral("zerobytes.htm"));
    setWindowTitle(QStringLiteral(" Поиск файлов размером 0 байт"));
    resize(600, 500);
    setMinimumSize(600, 400);
    FileInf->setObjectName(QStringLiteral("FileInf"));
    EFSearch.FileMask = QStringLiteral("*.*");
    EFSearch.StopOnFirstFind = false;
    EFSearch.OnFind = [this](QObject* sender, const QString& file) { EFSearchFind(sender, file); };
    buildControls();
}

void TEFileForm::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(this);
    SrcfileBtn = addButton(bar, "SrcfileBtn", "search", QStringLiteral("Поиск файлов"));
    Drive = new DriveBox(DriveBox::LetterCase::AllUpper, bar);
    Drive->setObjectName(QStringLiteral("Drive"));
    Drive->setToolTip(QStringLiteral("Поиск на диске..."));
    bar->addWidget(Drive);
    bar->addSeparator();
    DelfileBtn = addButton(bar, "DelfileBtn", "delete", QStringLiteral("Удалить все найденные файлы"));
    bar->addSeparator();
    ExitBtn = addButton(bar, "ExitBtn", "exit", QStringLiteral("Выход"));
    layout->addWidget(bar);

    FileView = makeList(this, "FileView", {QStringLiteral(" Файл")}, FileModel);
    FileView->setColumnMinimumWidth(0, 350);
    layout->addWidget(FileView, 1);
    auto* status = new QStatusBar(this);
    StatPane = addStatusPane(status, "StatPane");
    layout->addWidget(status);

    FileMenu = new QMenu(this);
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    DellAllFilesItem = FileMenu->addAction(ImageList[2], QStringLiteral(" Удалить все файлы"));
    DelSelectedFilesItem = FileMenu->addAction(ImageList[1], QStringLiteral(" Удалить выбранные файлы"));
    FileMenu->addSeparator();
    DelFFromListItem = FileMenu->addAction(QStringLiteral(" Удалить выделенные файлы из списка"));
    DellAllFilesItem->setObjectName(QStringLiteral("DellAllFilesItem"));
    DelSelectedFilesItem->setObjectName(QStringLiteral("DelSelectedFilesItem"));
    DelFFromListItem->setObjectName(QStringLiteral("DelFFromListItem"));

    connect(SrcfileBtn, &QToolButton::clicked, this, &TEFileForm::SrcfileBtnClick);
    connect(DelfileBtn, &QToolButton::clicked, this, &TEFileForm::DelfileBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &QDialog::accept);
    connect(DellAllFilesItem, &QAction::triggered, this, &TEFileForm::DellAllFilesItemClick);
    connect(DelSelectedFilesItem, &QAction::triggered, this, &TEFileForm::DelSelectedFilesItemClick);
    connect(DelFFromListItem, &QAction::triggered, this, &TEFileForm::DelFFromListItemClick);
    connect(FileView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { FileMenu->popup(FileView->viewport()->mapToGlobal(at)); });
}

void TEFileForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TEFileForm::closeEvent(QCloseEvent* event)
{
    // A search cannot be stopped; the window stays until it has ended.
    if (searching_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TEFileForm::FormShow()
{
    StatPane->clear();
}

void TEFileForm::setSearching(bool on)
{
    searching_ = on;
    DelfileBtn->setEnabled(!on);
    ExitBtn->setEnabled(!on);
    Drive->setEnabled(!on);
}

void TEFileForm::SrcfileBtnClick()
{
    if (searching_)
        return;
    StatPane->setText(QStringLiteral("Идет поиск..."));
    setSearching(true);
    FileModel->removeRows(0, FileModel->rowCount());
    platform::MessagePump::process();
    EFSearch.FilePath = Drive->currentText().left(1) + QStringLiteral(":\\");
    QString failure;
    try {
        EFSearch.Execute();
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what()); // shown after the final status
    }
    setSearching(false);
    StatPane->setText(QStringLiteral("Поиск завершен...   Файлов найдено - ") + QString::number(FileModel->rowCount()));
    if (!failure.isEmpty())
        platform::MessageBoxService::show({failure, {}, platform::MsgButtons::Ok, platform::MsgIcon::Error, this});
}

void TEFileForm::EFSearchFind(QObject*, const QString& FindFile)
{
    try {
        StatPane->setText(QStringLiteral("Идет поиск...   Проверка: ") + FindFile);
        // Only a regular file can be a zero-byte file: a FIFO or socket has
        // no size to speak of and is never junk. The finder's own look at
        // the entry decides before the file information is read at all.
        const platform::FolderListing::Found& entry = EFSearch.FoundEntry();
        if (entry.id.kind != platform::EntryKind::File || entry.size != 0)
            return;
        FileInf->SetFILENAME(FindFile);
        if (FileInf->Found() && FileInf->FileSize == 0)
            insertTop(FileModel, {FindFile.toUpper()}, FindFile, {}, entry.id);
    } catch (...) {
        // One file's trouble never ends the search.
    }
}

void TEFileForm::DelfileBtnClick()
{
    if (searching_ || !confirm(this, QStringLiteral("ВНИМАНИЕ! Все найденные файлы будут удалены. Продолжить?")))
        return;
    DeleteAllFiles();
}

void TEFileForm::DeleteAllFiles()
{
    try {
        for (int row = 0; row < FileModel->rowCount(); ++row)
            EraseFile(realPathOf(FileModel, row), listedIdOf(FileModel, row));
    } catch (...) {
    }
    FileModel->removeRows(0, FileModel->rowCount());
    StatPane->setText(QStringLiteral("Файлы удалены"));
}

void TEFileForm::DelSelectedFilesItemClick()
{
    if (searching_
        || !confirm(this, QStringLiteral("ВНИМАНИЕ! Все выделенные файлы будут удалены. Продолжить?")))
        return;
    DeleteSelectedFiles();
}

void TEFileForm::DeleteSelectedFiles()
{
    const QList<int> rows = selectedRows(FileView);
    try {
        for (int row : rows)
            EraseFile(realPathOf(FileModel, row), listedIdOf(FileModel, row));
    } catch (...) {
    }
    removeRows(FileModel, rows);
    StatPane->setText(QStringLiteral("Файлы удалены"));
}

void TEFileForm::DelFFromListItemClick()
{
    if (!searching_)
        removeRows(FileModel, selectedRows(FileView));
}
