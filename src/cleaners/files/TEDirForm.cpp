#include "cleaners/files/TEDirForm.h"

#include "cleaners/files/EInOutError.h"
#include "cleaners/files/ToolWindowKit.h"
#include "platform/FolderListing.h"
#include "platform/FolderWalk.h"
#include "platform/MessageBoxService.h"
#include "platform/MessagePump.h"
#include "platform/PrefixSkeleton.h"
#include "platform/ShellOpen.h"
#include "platform/TickCounter.h"
#include "scan/FileHelpers.h"
#include "widgets/DriveBox.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QStandardItemModel>
#include <QThread>
#include <QToolButton>

#include <algorithm>
#include <optional>

using namespace ToolWindowKit;
using platform::FolderListing;

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
    // A prefix's own folders stay, empty or not.
    const platform::PrefixSkeleton skeleton;
    QList<int> marked;
    for (int row = 0; row < DirsModel->rowCount(); ++row) {
        const QString path = realPathOf(DirsModel, row);
        if (skeleton.contains(path) || DirContentSize(path) != 0)
            marked.append(row);
    }
    removeRows(DirsModel, marked);
}

namespace {

// What decides whether a folder is empty: the first file with content, or
// anything that may not be judged, ends the walk with a size other than 0.
// What is not the user's (another user's entries in a shared folder, what
// the package manager installed) counts as content: such a folder is not
// the user's to delete.
struct ContentSize : platform::FolderWalkVisitor {
    quint64 size = 0;

    platform::WalkStep opened(const FolderListing& listing, const QString&)
    {
        size = listing.withheld() || listing.folderIsPackaged() ? 1 : 0;
        return size ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }

    platform::WalkStep visit(const FolderListing& listing, const Entry& e, const QString&)
    {
        if (e.isDirectory)
            return platform::WalkStep::Pass;
        // A socket, FIFO or device is in use: never part of an "empty" folder.
        size = listing.isSpecialFile(e) ? 1 : listing.sizeOf(e);
        if (!size && listing.isPackaged(e))
            size = 1;
        return size ? platform::WalkStep::Stop : platform::WalkStep::Pass;
    }

    platform::WalkStep descend(const FolderListing& listing, const Entry& e, const QString&)
    {
        if (!e.isDirectory)
            return platform::WalkStep::Skip;
        if (listing.isMountPoint(e)) {
            size = 1; // another file system's content is not ours to judge
            return platform::WalkStep::Stop;
        }
        return platform::WalkStep::Enter;
    }

    // The walk needs no folder texts.
    QString childFolder(const QString&, QStringView) const { return {}; }
};

} // namespace

quint64 TEDirForm::DirContentSize(const QString& path)
{
    FolderListing listing;
    if (!listing.read(path))
        return 0;
    ContentSize content;
    platform::walkFolders(std::move(listing), QString(), content);
    return content.size;
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
