#include "ui/TRichEditWithLinks.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

TRichEditWithLinks::TRichEditWithLinks(QWidget* parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    setAcceptRichText(false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void TRichEditWithLinks::SetLinkStyle(bool On)
{
    QTextCharFormat format;
    format.setAnchor(On);
    format.setFontUnderline(On);
    format.setForeground(On ? QColor(0, 0, 255) : palette().color(QPalette::Text));
    QTextCursor cursor = textCursor();
    cursor.mergeCharFormat(format);
    setTextCursor(cursor);
}

int TRichEditWithLinks::CharAt(const QPoint& viewportPos) const
{
    const QPointF p(viewportPos.x() + horizontalScrollBar()->value(), viewportPos.y() + verticalScrollBar()->value());
    const int near = document()->documentLayout()->hitTest(p, Qt::FuzzyHit);
    // The layout answers the caret position nearest to the point; the
    // character under it is the one before or the one after that position.
    for (int pos : {near - 1, near}) {
        const QTextBlock block = document()->findBlock(pos);
        if (pos < 0 || !block.isValid() || pos >= block.position() + block.length() - 1)
            continue; // before the text, or a line break
        const QTextLayout* layout = block.layout();
        const int inBlock = pos - block.position();
        const QTextLine line = layout->lineForTextPosition(inBlock);
        if (!line.isValid())
            continue;
        const qreal x1 = line.cursorToX(inBlock), x2 = line.cursorToX(inBlock + 1);
        const QPointF origin = layout->position();
        const QRectF box(origin.x() + std::min(x1, x2), origin.y() + line.y(), std::abs(x2 - x1), line.height());
        if (box.contains(p))
            return pos;
    }
    return -1;
}

bool TRichEditWithLinks::isLinkAt(int pos) const
{
    const QTextBlock block = document()->findBlock(pos);
    if (pos < 0 || !block.isValid() || pos >= block.position() + block.length() - 1)
        return false;
    QTextCursor cursor(document());
    cursor.setPosition(pos + 1); // the format before the caret is the character's
    return cursor.charFormat().isAnchor();
}

std::pair<int, int> TRichEditWithLinks::LinkRunAt(int pos) const
{
    if (!isLinkAt(pos))
        return {pos, pos};
    int first = pos, last = pos;
    while (isLinkAt(first - 1))
        --first;
    while (isLinkAt(last + 1))
        ++last;
    return {first, last + 1};
}

QString TRichEditWithLinks::TextRange(int cpMin, int cpMax) const
{
    QTextCursor cursor(document());
    cursor.setPosition(cpMin);
    cursor.setPosition(cpMax, QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
}

void TRichEditWithLinks::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OnHyperlinkClicked) {
        const int pos = CharAt(event->position().toPoint());
        const auto [cpMin, cpMax] = LinkRunAt(pos);
        if (cpMax > cpMin)
            OnHyperlinkClicked(this, cpMin, cpMax, TextRange(cpMin, cpMax));
    }
    QTextEdit::mousePressEvent(event);
}

void TRichEditWithLinks::mouseMoveEvent(QMouseEvent* event)
{
    const int pos = CharAt(event->position().toPoint());
    viewport()->setCursor(isLinkAt(pos) ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QTextEdit::mouseMoveEvent(event);
}
