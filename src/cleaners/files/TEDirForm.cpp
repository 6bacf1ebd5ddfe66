#include "cleaners/files/TEDirForm.h"

#include "cleaners/files/EInOutError.h"
#include "cleaners/files/ToolWindowKit.h"
#include "platform/FolderListing.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "platform/ShellOpen.h"
#include "platform/TickCounter.h"
#include "scan/FileHelpers.h"
#include "widgets/HelpKey.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

using namespace ToolWindowKit;
using platform::FolderListing;

TEDirForm::TEDirForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , DImageList{ToolWindowKit::menuImage(9), ToolWindowKit::menuImage(10), ToolWindowKit::menuImage(0)}
{
    setObjectName(QStringLiteral("TEDirForm"));
    HelpKey::install(this, QStringLiteral("emptydirs.htm"));
    setWindowTitle(QStringLiteral(" Поиск пустых каталогов"));
    resize(600, 500);
    setMinimumSize(600, 400);
    buildControls();
}

void TEDirForm::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(this);
    SrcBtn = addButton(bar, "SrcBtn", "search", QStringLiteral("Поиск пустых каталогов"));
    Drive = new DriveBox(DriveBox::LetterCase::AllUpper, bar);
    Drive->setObjectName(QStringLiteral("Drive"));
    Drive->setToolTip(QStringLiteral("Поиск на диске..."));
    bar->addWidget(Drive);
    bar->addSeparator();
    DelBtn = addButton(bar, "DelBtn", "delete", QStringLiteral("Удалить все найденные каталоги"));
    bar->addSeparator();
    ExitBtn = addButton(bar, "ExitBtn", "exit", QStringLiteral("Выход"));
    layout->addWidget(bar);

    DirsView = makeList(this, "DirsView", {QStringLiteral(" Каталог")}, DirsModel);
    DirsView->setColumnMinimumWidth(0, 350);
    layout->addWidget(DirsView, 1);
    auto* status = new QStatusBar(this);
    StatPane = addStatusPane(status, "StatPane");
    layout->addWidget(status);

    DirsMenu = new QMenu(this);
    DirsMenu->setObjectName(QStringLiteral("DirsMenu"));
    DellAllItem = DirsMenu->addAction(DImageList[2], QStringLiteral(" Удалить все каталоги"));
    DelSelectedDirsItem = DirsMenu->addAction(DImageList[1], QStringLiteral(" Удалить выбранные каталоги "));
    DirsMenu->addSeparator();
    DelFromListItem = DirsMenu->addAction(QStringLiteral(" Удалить выделенные каталоги из списка"));
    DirsMenu->addSeparator();
    OpenDirItem = DirsMenu->addAction(DImageList[0], QStringLiteral(" Открыть каталог в \"Проводнике\""));
    DellAllItem->setObjectName(QStringLiteral("DellAllItem"));
    DelSelectedDirsItem->setObjectName(QStringLiteral("DelSelectedDirsItem"));
    DelFromListItem->setObjectName(QStringLiteral("DelFromListItem"));
    OpenDirItem->setObjectName(QStringLiteral("OpenDirItem"));

    connect(SrcBtn, &QToolButton::clicked, this, &TEDirForm::SrcBtnClick);
    connect(DelBtn, &QToolButton::clicked, this, &TEDirForm::DelBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &QDialog::accept);
    connect(DellAllItem, &QAction::triggered, this, &TEDirForm::DellAllItemClick);
    connect(DelSelectedDirsItem, &QAction::triggered, this, &TEDirForm::DelSelectedDirsItemClick);
    connect(DelFromListItem, &QAction::triggered, this, &TEDirForm::DelFromListItemClick);
    connect(OpenDirItem, &QAction::triggered, this, &TEDirForm::OpenDirItemClick);
    connect(DirsView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { DirsMenu->popup(DirsView->viewport()->mapToGlobal(at)); });
}

void TEDirForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TEDirForm::closeEvent(QCloseEvent* event)
{
    // The search lets messages run only in its closing pause; the window
    // stays until it has ended.
    if (searching_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TEDirForm::FormShow()
{
    StatPane->clear();
}

void TEDirForm::setSearching(bool on)
{
    searching_ = on;
    DelBtn->setEnabled(!on);
    ExitBtn->setEnabled(!on);
    Drive->setEnabled(!on);
}

void TEDirForm::SrcBtnClick()
{
    if (searching_)
        return;
    StatPane->setText(QStringLiteral("Идет поиск..."));
    setSearching(true);
    DirsModel->removeRows(0, DirsModel->rowCount());
    DirSearch.DirsFound.clear();
    DirSearch.FoundIds.clear();
    platform::MessagePump::process();
    DirSearch.StartDir = Drive->currentText().left(1) + QStringLiteral(":\\");
    std::optional<EInOutError> failure;
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
    setSearching(false);
    if (failure)
        platform::MessageBoxService::show({failure->Message(), {}, platform::MsgButtons::Ok, platform::MsgIcon::Error, this});
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
    // A row goes when another row's text is longer and begins with its text.
    // Sorted, the rows that begin with a text follow it directly, so looking
    // at the next different text gives the same answer as comparing all pairs.
    QStringList texts;
    for (int row = 0; row < DirsModel->rowCount(); ++row)
        texts.append(DirsModel->item(row)->text());
    QStringList sorted = texts;
    std::sort(sorted.begin(), sorted.end());
    QSet<QString> parents;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        qsizetype next = i + 1;
        while (next < sorted.size() && sorted[next] == sorted[i])
            ++next;
        if (next < sorted.size() && sorted[next].startsWith(sorted[i]))
            parents.insert(sorted[i]);
    }
    QList<int> marked;
    for (int row = 0; row < texts.size(); ++row)
        if (parents.contains(texts[row]))
            marked.append(row);
    removeRows(DirsModel, marked);
}

void TEDirForm::RemoveNonEmptyDirs()
{
    QList<int> marked;
    for (int row = 0; row < DirsModel->rowCount(); ++row)
        if (DirContentSize(realPathOf(DirsModel, row)) != 0)
            marked.append(row);
    removeRows(DirsModel, marked);
}

namespace {

quint64 contentSize(const FolderListing& listing)
{
    for (const FolderListing::Entry& e : listing.entries()) {
        if (!e.isDirectory) {
            if (listing.isSpecialFile(e))
                return 1; // in use: never part of an "empty" folder
            if (const quint64 size = listing.sizeOf(e))
                return size;
            continue;
        }
        if (listing.isMountPoint(e))
            return 1; // another file system's content is not ours to judge
        FolderListing child;
        if (child.readChild(listing, e))
            if (const quint64 size = contentSize(child))
                return size;
    }
    return 0;
}

} // namespace

quint64 TEDirForm::DirContentSize(const QString& path)
{
    FolderListing listing;
    return listing.read(path) ? contentSize(listing) : 0;
}

void TEDirForm::DelBtnClick()
{
    if (searching_ || !confirm(this, QStringLiteral("ВНИМАНИЕ! Все найденные каталоги будут удалены. Продолжить?")))
        return;
    DeleteAllDirs();
}

void TEDirForm::DeleteAllDirs()
{
    try {
        for (int row = 0; row < DirsModel->rowCount(); ++row)
            EraseFile(realPathOf(DirsModel, row), listedIdOf(DirsModel, row));
    } catch (...) {
    }
    DirsModel->removeRows(0, DirsModel->rowCount());
    StatPane->setText(QStringLiteral("Каталоги удалены"));
}

void TEDirForm::DelSelectedDirsItemClick()
{
    if (searching_ || !confirm(this, QStringLiteral("ВНИМАНИЕ! Все выделенные каталоги будут удалены. Продолжить?")))
        return;
    DeleteSelectedDirs();
}

void TEDirForm::DeleteSelectedDirs()
{
    const QList<int> rows = selectedRows(DirsView);
    try {
        for (int row : rows)
            EraseFile(realPathOf(DirsModel, row), listedIdOf(DirsModel, row));
    } catch (...) {
    }
    removeRows(DirsModel, rows);
    StatPane->setText(QStringLiteral("Каталоги удалены"));
}

void TEDirForm::DelFromListItemClick()
{
    if (!searching_)
        removeRows(DirsModel, selectedRows(DirsView));
}

void TEDirForm::OpenDirItemClick()
{
    if (searching_)
        return;
    for (int row : selectedRows(DirsView))
        platform::ShellOpen::openFolder(realPathOf(DirsModel, row));
}
