#pragma once
// What the file-tool windows share: their tool bar buttons, their
// report-style list of paths (each row shows a text and keeps the real path
// it was found under), the status pane and the confirmation question.

#include "platform/EntryId.h"

#include <QIcon>
#include <QList>
#include <QString>

class QLabel;
class QStandardItemModel;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;
class ReportListView;
class StatusPane;

namespace ToolWindowKit {

// A bar button with the tool image name (tool/<name>.png) and a hint, which
// is also its accessible name.
QToolButton* addButton(QToolBar* bar, const char* objectName, const char* image, const QString& hint);

// The image of a menu entry from the program's small image list.
QIcon menuImage(int index);

// A report list with grid lines and whole-row selection over a model with
// one column per caption.
ReportListView* makeList(QWidget* parent, const char* objectName, const QStringList& captions,
                         QStandardItemModel*& model);

// Inserts a row at the top: shown texts (one per column), the real path
// and the id of the entry as found kept behind the first, and an icon.
void insertTop(QStandardItemModel* model, const QStringList& texts, const QString& realPath, const QIcon& icon = {},
               const platform::EntryId& listed = {});

// The real path a row keeps, and the id its entry had when it was found
// (deletion checks it, so only that very entry is ever deleted).
QString realPathOf(const QStandardItemModel* model, int row);
platform::EntryId listedIdOf(const QStandardItemModel* model, int row);

// The selected rows, top to bottom.
QList<int> selectedRows(const ReportListView* view);

// Removes the rows (any order).
void removeRows(QStandardItemModel* model, QList<int> rows);

// Adds a text pane to bar: fixedWidth pixels wide when given, otherwise
// taking the width the panes before it leave. Its text is shown as plain
// text: a path or name holding "<b>" is no markup, and at most once a
// frame (StatusPane). The bar owns the pane.
StatusPane* addStatusPane(QStatusBar* bar, const char* objectName, int fixedWidth = 0);

// Asks text in a box with a question icon and Yes, No and Cancel; true for Yes.
bool confirm(QWidget* parent, const QString& text);

} // namespace ToolWindowKit
