#include "cleaners/files/TToolWindow.h"

#include "core/OutcomeSink.h"

#include "widgets/ToolWindowKit.h"
#include "core/Disposal.h"
#include "widgets/DriveBox.h"
#include "widgets/HelpKey.h"
#include "widgets/ReportListView.h"
#include "widgets/StatusPane.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TToolWindow::TToolWindow(QWidget* parent, const char* objectName, const QString& title, const QString& helpPage,
                         QSize size, QSize minimum)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , Bar(new QToolBar(this))
    , layout_(new QVBoxLayout(this))
{
    setObjectName(QLatin1String(objectName));
    HelpKey::install(this, helpPage);
    setWindowTitle(title);
    resize(size);
    setMinimumSize(minimum);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addWidget(Bar);
}

ReportListView* TToolWindow::addList(const char* objectName, const QStringList& captions, QStandardItemModel*& model)
{
    ReportListView* view = ToolWindowKit::makeList(this, objectName, captions, model);
    layout_->addWidget(view, 1);
    return view;
}

StatusPane* TToolWindow::addStatus(const char* objectName)
{
    auto* status = new QStatusBar(this);
    StatusPane* pane = ToolWindowKit::addStatusPane(status, objectName);
    layout_->addWidget(status);
    return pane;
}

void TToolWindow::addDriveSearchBar(const SearchBarNames& names, QToolButton*& search, DriveBox*& drive,
                                    QToolButton*& deleteAll, QToolButton*& exit)
{
    search = ToolWindowKit::addButton(Bar, names.search, "search", names.searchHint);
    drive = new DriveBox(DriveBox::LetterCase::AllUpper, Bar);
    drive->setObjectName(QStringLiteral("Drive"));
    drive->setToolTip(QStringLiteral("Поиск на диске..."));
    Bar->addWidget(drive);
    Bar->addSeparator();
    deleteAll = ToolWindowKit::addButton(Bar, names.deleteAll, "delete", names.deleteHint);
    Bar->addSeparator();
    exit = ToolWindowKit::addButton(Bar, "ExitBtn", "exit", QStringLiteral("Выход"));
    connect(exit, &QToolButton::clicked, this, &QDialog::accept);
    idleOnly_ = {deleteAll, exit, drive};
}

void TToolWindow::showBusy(bool busy)
{
    for (QWidget* control : idleOnly_)
        control->setEnabled(!busy);
}

QMenu* TToolWindow::addPopup(const char* objectName, ReportListView* view)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QLatin1String(objectName));
    connect(view, &QWidget::customContextMenuRequested, this,
            [view, menu](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
    return menu;
}

QAction* TToolWindow::addItem(QMenu* menu, const char* objectName, const QIcon& icon, const QString& caption)
{
    QAction* item = menu->addAction(icon, caption);
    item->setObjectName(QLatin1String(objectName));
    return item;
}

TToolWindow::Job::Job(TToolWindow& window)
    : window_(window)
{
    window_.busy_ = true;
    window_.showBusy(true);
}

TToolWindow::Job::~Job()
{
    window_.busy_ = false;
    window_.showBusy(false);
    if (window_.closePending_) {
        window_.closePending_ = false;
        QTimer::singleShot(0, &window_, &QWidget::close);
    }
}

bool TToolWindow::confirmed(const QString& question)
{
    return !busy_ && ToolWindowKit::confirm(this, question);
}

void TToolWindow::deleteRows(QStandardItemModel* model, const QList<int>& rows, Disposal how, StatusPane* pane,
                             const QString& done)
{
    QList<core::Finding> chosen;
    chosen.reserve(rows.size());
    for (int row : rows) {
        core::Finding found;
        found.path = ToolWindowKit::realPathOf(model, row);
        found.id = ToolWindowKit::listedIdOf(model, row);
        chosen.append(found);
    }
    // The one place the tool windows drop the outcomes on purpose: the rows
    // go either way, and a failure is the shell's to tell.
    core::DisposeAll(chosen, how, OutcomeSink());
    if (rows.size() == model->rowCount())
        model->removeRows(0, model->rowCount());
    else
        ToolWindowKit::removeRows(model, rows);
    pane->setTextNow(done);
}

QList<int> TToolWindow::allRows(const QStandardItemModel* model)
{
    QList<int> rows;
    rows.reserve(model->rowCount());
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(row);
    return rows;
}

void TToolWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TToolWindow::closeEvent(QCloseEvent* event)
{
    // Closing under a running job would pull the window from under it: stop
    // the job where it can be stopped and close once it has ended;
    // otherwise the window stays until it has ended.
    if (busy_) {
        if (stopJob())
            closePending_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
