#pragma once
// The uninstall-list dialog: every entry of the machine's Uninstall key as a
// tree node with its values below it, and deletion of an entry's key (the
// registry entry only; no program file is touched).
//
// On a 64-bit machine the 32-bit programs' Uninstall key is listed too, its
// programs marked " (32-бит)" and deleted in that view.
//
// A press of either mouse button selects the node under it, and the key
// path shown and the delete controls follow the current node whatever
// changes it, so the path shown, the controls' state and the entry the
// delete commands act on are always the same node.

#include "widgets/StatusPane.h"

#include "cleaners/traces/InstalledPrograms.h"

#include <QDialog>

class QAction;
class QFrame;
class QMenu;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

class TUMCForm : public QDialog {
    Q_OBJECT
public:
    explicit TUMCForm(QWidget* parent = nullptr);

    void FormShow();
    void FormResize();
    // A mouse button released over a node (it becomes the current one) / a
    // key released in the tree: KeyPane and the delete controls follow the
    // current node.
    void PTreeMouseUp(QTreeWidgetItem* node);
    void PTreeKeyUp();
    void PTreeExpanding(QTreeWidgetItem* node);
    void DelBtnClick() { DeleteSelected(); }
    void DelRecItemClick() { DeleteSelected(); }

    // The key path a node keeps (empty for the root and value nodes) and
    // whether it is a program node.
    static QString KeyPathOf(const QTreeWidgetItem* node);
    static bool IsProgram(const QTreeWidgetItem* node);

    QFrame* Panel;
    QTreeWidget* PTree;
    QMenu* ProgsMenu;
    QAction* DelRecItem;
    QStatusBar* StatBar;
    StatusPane* ProgsPane;
    StatusPane* KeyPane;
    QPushButton* DelBtn;
    QPushButton* ExtBtn;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Lists both views' programs (InstalledPrograms::list) below a new
    // root; the root is current only when it has programs below it.
    void BuildTree();
    // Adds one program with its values below root.
    void AddProgram(QTreeWidgetItem* root, const InstalledProgram& entry);
    // KeyPane and the delete controls for the current node.
    void ShowNode();
    void DeleteSelected();
    void enableDeletion(bool on);
};
