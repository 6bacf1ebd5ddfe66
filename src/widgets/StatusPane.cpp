#include "widgets/StatusPane.h"

#include "platform/TickCounter.h"

StatusPane::StatusPane(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    frame_.setSingleShot(true);
    connect(&frame_, &QTimer::timeout, this, &StatusPane::showLatest);
}

void StatusPane::setText(const QString& text)
{
    latest_ = text;
    latestTail_.clear();
    took();
}

void StatusPane::setText(const QString& prefix, const QString& tail)
{
    latest_ = prefix;
    latestTail_ = tail;
    took();
}

void StatusPane::setTextNow(const QString& text)
{
    frame_.stop();
    latest_ = text;
    latestTail_.clear();
    showLatest();
}

void StatusPane::took()
{
    if (frame_.isActive())
        return; // the coming frame shows it
    // Unsigned: a tick count that wrapped or went back shows at once.
    const quint32 since = platform::TickCounter::now() - shownAt_;
    if (!shown_ || since >= quint32(frameMs))
        showLatest();
    else
        frame_.start(int(frameMs - since));
}

void StatusPane::showLatest()
{
    shown_ = true;
    shownAt_ = platform::TickCounter::now();
    QLabel::setText(latest());
}
