#include "widgets/CheckListBox.h"

#include <QKeyEvent>

CheckListBox::CheckListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

namespace {

QListWidgetItem* checkItem(const QString& text, bool checked)
{
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

void CheckListBox::insertTop(const QString& text, bool checked)
{
    insertItem(0, checkItem(text, checked));
}

void CheckListBox::appendBottom(const QString& text, bool checked)
{
    addItem(checkItem(text, checked));
}

QStringList CheckListBox::texts() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out.append(item(i)->text());
    return out;
}

bool CheckListBox::isChecked(int row) const
{
    return item(row) && item(row)->checkState() == Qt::Checked;
}

bool CheckListBox::removeSelected()
{
    const QList<QListWidgetItem*> selected = selectedItems();
    if (selected.isEmpty())
        return false;
    delete takeItem(row(selected.first()));
    return true;
}

void CheckListBox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    Q_EMIT userClicked();
}

void CheckListBox::keyPressEvent(QKeyEvent* event)
{
    const Qt::CheckState before = currentItem() ? currentItem()->checkState() : Qt::Unchecked;
    QListWidget::keyPressEvent(event);
    if (currentItem() && currentItem()->checkState() != before)
        Q_EMIT userClicked();
}
