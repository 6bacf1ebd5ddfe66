#include "widgets/CheckListBox.h"

#include <QKeyEvent>

CheckListBox::CheckListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void CheckListBox::insertTop(const QString& text, bool checked)
{
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    insertItem(0, item);
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
