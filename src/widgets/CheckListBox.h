#pragma once
// A list with a check box per entry and single selection. It tells apart
// the user's doings (a click anywhere in it, a key that toggles an entry)
// from the program's, so a dialog can enable its Apply button on the first.

#include <QListWidget>

class CheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CheckListBox(QWidget* parent = nullptr);

    // Inserts an entry at the top.
    void insertTop(const QString& text, bool checked);

    // Adds an entry at the bottom (filling a long list this way costs no
    // moving of the entries already there).
    void appendBottom(const QString& text, bool checked);

    // The entries top to bottom, and their check states.
    QStringList texts() const;
    bool isChecked(int row) const;

    // Removes the selected entry; returns false when none was selected.
    bool removeSelected();

Q_SIGNALS:
    // A click in the list, or a key that toggled an entry.
    void userClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
