#include "widgets/ColourLogViewAccessible.h"

#include "widgets/ColourLogView.h"

#include <QFontMetrics>
#include <algorithm>

ColourLogViewAccessible::ColourLogViewAccessible(ColourLogView* log)
    : QAccessibleWidget(log, QAccessible::EditableText)
{}

ColourLogView* ColourLogViewAccessible::log() const
{
    return static_cast<ColourLogView*>(widget());
}

void* ColourLogViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ColourLogViewAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

QString ColourLogViewAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return log()->lines().join(u'\n');
    return QAccessibleWidget::text(t);
}

std::vector<int> ColourLogViewAccessible::lineStarts() const
{
    std::vector<int> starts;
    starts.reserve(size_t(log()->lineCount()) + 1);
    int at = 0;
    for (int i = 0; i < log()->lineCount(); ++i) {
        starts.push_back(at);
        at += int(log()->line(i).size()) + (i + 1 < log()->lineCount() ? 1 : 0);
    }
    starts.push_back(at);
    return starts;
}

int ColourLogViewAccessible::lineOf(const std::vector<int>& starts, int offset) const
{
    if (starts.size() < 2)
        return -1;
    const auto after = std::upper_bound(starts.begin(), starts.end() - 1, offset);
    return qBound(0, int(after - starts.begin()) - 1, int(starts.size()) - 2);
}

void ColourLogViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    const auto [first, last] = log()->selectedLines();
    if (selectionIndex != 0 || first < 0)
        return;
    const std::vector<int> starts = lineStarts();
    *startOffset = starts[size_t(first)];
    *endOffset = starts[size_t(last)] + int(log()->line(last).size());
}

int ColourLogViewAccessible::selectionCount() const
{
    return log()->selectedLines().first < 0 ? 0 : 1;
}

void ColourLogViewAccessible::addSelection(int startOffset, int endOffset)
{
    // One selection only, as with the mouse: a new one replaces it.
    setSelection(0, startOffset, endOffset);
}

void ColourLogViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        log()->selectLines(-1, -1);
}

void ColourLogViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0 || log()->lineCount() == 0)
        return;
    const std::vector<int> starts = lineStarts();
    const int first = lineOf(starts, qMin(startOffset, endOffset));
    const int last = lineOf(starts, qMax(startOffset, endOffset - 1));
    log()->selectLines(first, qMax(first, last));
}

int ColourLogViewAccessible::cursorPosition() const
{
    const auto [first, last] = log()->selectedLines();
    return first < 0 ? 0 : lineStarts()[size_t(first)];
}

void ColourLogViewAccessible::setCursorPosition(int position)
{
    const std::vector<int> starts = lineStarts();
    const int line = lineOf(starts, position);
    if (line >= 0)
        log()->scrollToLine(line);
}

QString ColourLogViewAccessible::text(int startOffset, int endOffset) const
{
    const QString all = text(QAccessible::Value);
    const int from = qBound(0, startOffset, int(all.size()));
    const int to = qBound(from, endOffset < 0 ? int(all.size()) : endOffset, int(all.size()));
    return all.mid(from, to - from);
}

int ColourLogViewAccessible::characterCount() const
{
    return lineStarts().back();
}

QRect ColourLogViewAccessible::characterRect(int offset) const
{
    const std::vector<int> starts = lineStarts();
    const int line = lineOf(starts, offset);
    if (line < 0)
        return {};
    const QString text = log()->line(line);
    const int column = qBound(0, offset - starts[size_t(line)], int(text.size()));
    const QFontMetrics fm = log()->fontMetrics();
    QRect r = log()->lineRect(line);
    r.setLeft(r.left() + fm.horizontalAdvance(text.left(column)));
    r.setWidth(column < text.size() ? fm.horizontalAdvance(text.at(column)) : 1);
    return QRect(log()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int ColourLogViewAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint at = log()->viewport()->mapFromGlobal(point);
    const int line = log()->lineAtPoint(at);
    if (line < 0)
        return -1;
    const QString text = log()->line(line);
    const QFontMetrics fm = log()->fontMetrics();
    const int x = at.x() - log()->lineRect(line).left();
    int column = 0;
    while (column < text.size() && fm.horizontalAdvance(text.left(column + 1)) <= x)
        ++column;
    return lineStarts()[size_t(line)] + column;
}

void ColourLogViewAccessible::scrollToSubstring(int startIndex, int)
{
    setCursorPosition(startIndex);
}

QString ColourLogViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    const std::vector<int> starts = lineStarts();
    const int line = lineOf(starts, offset);
    if (line < 0 || offset < 0 || offset >= starts.back()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    *startOffset = starts[size_t(line)];
    *endOffset = starts[size_t(line) + 1];
    const QColor c = log()->lineColour(line);
    return QStringLiteral("color:rgb(%1,%2,%3);").arg(c.red()).arg(c.green()).arg(c.blue());
}
