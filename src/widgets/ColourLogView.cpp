#include "widgets/ColourLogView.h"

#include <QScrollBar>
#include <QTextBlock>

ColourLogView::ColourLogView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void ColourLogView::appendLine(const QString& text, const QColor& colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text, format);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QStringList ColourLogView::lines() const
{
    if (document()->isEmpty())
        return {};
    QStringList out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        out.append(b.text());
    return out;
}

QColor ColourLogView::lineColour(int line) const
{
    const QTextBlock b = document()->findBlockByNumber(line);
    if (!b.isValid() || b.begin() == b.end())
        return {};
    return b.begin().fragment().charFormat().foreground().color();
}

int ColourLogView::lineCount() const
{
    return document()->isEmpty() ? 0 : document()->blockCount();
}
