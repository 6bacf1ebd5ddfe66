#include "widgets/ToolWindowKit.h"

#include "platform/MessageBoxService.h"
#include "widgets/ReportListView.h"
#include "widgets/StatusPane.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace ToolWindowKit {

QToolButton* addButton(QToolBar* bar, const char* objectName, const char* image, const QString& hint)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(objectName));
    button->setIcon(QIcon(QStringLiteral(":/tool/%1.png").arg(QLatin1String(image))));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(hint);
    // The button shows only a picture: its hint is what a screen reader says.
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

QIcon menuImage(int index)
{
    return QIcon(QStringLiteral(":/menu/%1.png").arg(index));
}

ReportListView* makeList(QWidget* parent, const char* objectName, const QStringList& captions,
                         QStandardItemModel*& model)
{
    auto* view = new ReportListView(parent);
    view->setObjectName(QLatin1String(objectName));
    model = new QStandardItemModel(0, int(captions.size()), view);
    model->setHorizontalHeaderLabels(captions);
    view->setModel(model);
    view->setGridLines(true);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    return view;
}

void insertTop(QStandardItemModel* model, const QStringList& texts, const QString& realPath, const QIcon& icon,
               const platform::EntryId& listed)
{
    QList<QStandardItem*> items;
    for (const QString& text : texts)
        items.append(new QStandardItem(text));
    items.first()->setData(realPath, Qt::UserRole);
    items.first()->setData(QVariant::fromValue(listed), Qt::UserRole + 1);
    if (!icon.isNull())
        items.first()->setIcon(icon);
    for (QStandardItem* item : items)
        item->setEditable(false);
    model->insertRow(0, items);
}

QString realPathOf(const QStandardItemModel* model, int row)
{
    return model->item(row, 0)->data(Qt::UserRole).toString();
}

platform::EntryId listedIdOf(const QStandardItemModel* model, int row)
{
    return model->item(row, 0)->data(Qt::UserRole + 1).value<platform::EntryId>();
}

QList<int> selectedRows(const ReportListView* view)
{
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

namespace {

// Removing a row costs the view a pass over the whole list, so a removal of
// many rows rebuilds the list instead: the rows that stay are copied, the
// list emptied in one call and the copies put back in their order.
void rebuildWithout(QStandardItemModel* model, const QList<int>& rows)
{
    std::vector<bool> gone(size_t(model->rowCount()), false);
    for (int row : rows)
        gone[size_t(row)] = true;
    std::vector<QList<QStandardItem*>> kept;
    kept.reserve(gone.size() - size_t(rows.size()));
    for (int row = 0; row < model->rowCount(); ++row) {
        if (gone[size_t(row)])
            continue;
        QList<QStandardItem*> items;
        for (int column = 0; column < model->columnCount(); ++column) {
            const QStandardItem* item = model->item(row, column);
            items.append(item ? item->clone() : nullptr);
        }
        kept.push_back(std::move(items));
    }
    model->removeRows(0, model->rowCount());
    for (const QList<QStandardItem*>& items : kept)
        model->appendRow(items);
}

} // namespace

void removeRows(QStandardItemModel* model, QList<int> rows)
{
    constexpr qsizetype kManyRows = 64;
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.size() > kManyRows) {
        rebuildWithout(model, rows);
        return;
    }
    // From the bottom up, each run of neighbouring rows in one call.
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype end = i + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] - 1)
            ++end;
        model->removeRows(rows[end - 1], int(end - i));
        i = end;
    }
}

StatusPane* addStatusPane(QStatusBar* bar, const char* objectName, int fixedWidth)
{
    auto* pane = new StatusPane(bar);
    pane->setObjectName(QLatin1String(objectName));
    if (fixedWidth > 0)
        pane->setFixedWidth(fixedWidth);
    bar->addWidget(pane, fixedWidth > 0 ? 0 : 1);
    return pane;
}

bool confirm(QWidget* parent, const QString& text)
{
    return platform::MessageBoxService::show(
               {text, {}, platform::MsgButtons::YesNoCancel, platform::MsgIcon::Question, parent})
        == platform::MsgResult::Yes;
}

} // namespace ToolWindowKit
