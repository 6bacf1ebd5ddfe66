#pragma once
// A report-style list: rows selected whole (several at once), texts that
// cannot be edited, headers that do nothing when clicked, a flat frame,
// optional grid lines, a minimum width per column. Built for long lists:
// rows of one height, texts laid out once, not per paint (ListTextDelegate).

#include <QTableView>
#include <QVector>

class ReportListView : public QTableView {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);

    // Column widths: the width is raised to the column's minimum.
    void setColumnMinimumWidth(int column, int width);
    int columnMinimumWidth(int column) const;
    void setColumnWidthRespectingMinimum(int column, int width);

    // Grid lines between rows and columns; cheap to call when unchanged.
    void setGridLines(bool on);

private:
    void keepMinimum(int column, int oldWidth, int newWidth);

    QVector<int> minimums_;
};
