#include "ui/HoverLinkLabel.h"

#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>

HoverLinkLabel::HoverLinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    QFont f = font();
    f.setBold(true);
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    setColour(QColor(0, 0, 255));
    // The raised look: a light edge below and to the right of the letters.
    auto* edge = new QGraphicsDropShadowEffect(this);
    edge->setBlurRadius(0);
    edge->setOffset(1, 1);
    edge->setColor(Qt::white);
    setGraphicsEffect(edge);
}

void HoverLinkLabel::setColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

void HoverLinkLabel::enterEvent(QEnterEvent* event)
{
    setColour(QColor(0, 128, 0));
    QLabel::enterEvent(event);
}

void HoverLinkLabel::leaveEvent(QEvent* event)
{
    setColour(QColor(0, 0, 255));
    QLabel::leaveEvent(event);
}

void HoverLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
