#include "widgets/StatusPane.h"

#include <QElapsedTimer>

namespace {

std::function<qint64()>& testClock()
{
    static std::function<qint64()> clock;
    return clock;
}

qint64 nowMs()
{
    if (testClock())
        return testClock()();
    static QElapsedTimer since = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return since.elapsed();
}

} // namespace

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
    if (frame_.isActive())
        return; // the coming frame shows it
    const qint64 since = nowMs() - shownAt_;
    if (!shown_ || since >= frameMs || since < 0)
        showLatest();
    else
        frame_.start(int(frameMs - since));
}

void StatusPane::showLatest()
{
    shown_ = true;
    shownAt_ = nowMs();
    QLabel::setText(latest_);
}

void StatusPane::setClockForTests(std::function<qint64()> clock)
{
    testClock() = std::move(clock);
}
