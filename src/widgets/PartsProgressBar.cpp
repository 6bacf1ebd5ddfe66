#include "widgets/PartsProgressBar.h"

#include "widgets/WidgetAccessibility.h"

#include <QAccessible>
#include <QPainter>
#include <cmath>

PartsProgressBar::PartsProgressBar(QWidget* parent)
    : QWidget(parent)
{
    installWidgetAccessibility();
}

void PartsProgressBar::announce()
{
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, complete_);
        QAccessible::updateAccessibility(&changed);
    }
}

void PartsProgressBar::setTotalParts(qint64 total)
{
    total_ = qMax<qint64>(0, total);
    complete_ = qMin(complete_, total_);
    update();
    announce();
}

void PartsProgressBar::setPartsComplete(qint64 parts)
{
    complete_ = qBound<qint64>(0, parts, total_);
    update();
    announce();
}

int PartsProgressBar::percentDone() const
{
    if (total_ == 0)
        return 0;
    // nearbyint rounds halves to even under the default rounding mode.
    return int(std::nearbyint(double(complete_) * 100.0 / double(total_)));
}

void PartsProgressBar::setBarColor(const QColor& c)
{
    bar_ = c;
    update();
}

void PartsProgressBar::setTextColor(const QColor& c)
{
    text_ = c;
    update();
}

void PartsProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().mid().color());
    p.drawRect(frame);
    const int filled = int(qint64(frame.width() - 1) * percentDone() / 100);
    const QRect done(frame.left() + 1, frame.top() + 1, filled, frame.height() - 1);
    p.fillRect(done, bar_);
    const QString label = QStringLiteral("%1 %").arg(percentDone());
    // The text reads in its own colour over the empty part, in white over the bar.
    p.setPen(text_);
    p.drawText(rect(), Qt::AlignCenter, label);
    p.setClipRect(done);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, label);
}
