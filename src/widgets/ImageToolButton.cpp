#include "widgets/ImageToolButton.h"

ImageToolButton::ImageToolButton(const QString& caption, QSize size, QWidget* parent)
    : QToolButton(parent)
{
    setText(caption);
    setFixedSize(size);
    setIconSize(QSize(32, 32));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(true);
}

void ImageToolButton::enterEvent(QEnterEvent* event)
{
    QToolButton::enterEvent(event);
    Q_EMIT mouseEntered();
}

void ImageToolButton::leaveEvent(QEvent* event)
{
    QToolButton::leaveEvent(event);
    Q_EMIT mouseLeft();
}
