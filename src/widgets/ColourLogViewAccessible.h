#pragma once
// ColourLogView as assistive technology sees it: multi-line read-only text,
// one text line per log line, each line's colour as the text attribute
// "color" (rgb(r,g,b)). Selection is by whole lines, as with the mouse.

#include <QAccessibleWidget>
#include <vector>

class ColourLogView;

class ColourLogViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ColourLogViewAccessible(ColourLogView* log);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // Offsets count the characters of the lines joined by "\n".
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    ColourLogView* log() const;
    // Where each line begins, plus one entry for the end of the text.
    std::vector<int> lineStarts() const;
    // The line holding offset (the newline after a line belongs to it).
    int lineOf(const std::vector<int>& starts, int offset) const;
};
