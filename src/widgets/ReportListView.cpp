#include "widgets/ReportListView.h"

#include "widgets/ListTextDelegate.h"

#include <QHeaderView>

ReportListView::ReportListView(QWidget* parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Plain);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new ListTextDelegate(this));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(20);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &ReportListView::keepMinimum);
}

void ReportListView::setColumnMinimumWidth(int column, int width)
{
    if (minimums_.size() <= column)
        minimums_.resize(column + 1);
    minimums_[column] = width;
    if (columnWidth(column) < width)
        setColumnWidth(column, width);
}

int ReportListView::columnMinimumWidth(int column) const
{
    return column < minimums_.size() ? minimums_[column] : 0;
}

void ReportListView::setColumnWidthRespectingMinimum(int column, int width)
{
    setColumnWidth(column, qMax(width, columnMinimumWidth(column)));
}

void ReportListView::setGridLines(bool on)
{
    if (showGrid() != on)
        setShowGrid(on);
}

void ReportListView::keepMinimum(int column, int, int newWidth)
{
    if (newWidth < columnMinimumWidth(column))
        setColumnWidth(column, columnMinimumWidth(column));
}
