#include "widgets/ColourLogView.h"

#include "widgets/WidgetAccessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

ColourLogView::ColourLogView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , store_(std::make_shared<core::TextStore>())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    installWidgetAccessibility();
}

ColourLogView::~ColourLogView()
{
    if (store_.use_count() > 1)
        releaseLines();
}

void ColourLogView::releaseLines()
{
    // A store the log alone holds is simply dropped; a shared one must
    // learn which texts are no longer used.
    if (store_.use_count() > 1)
        for (const core::TextStore::Ref& line : lines_)
            store_->release(line);
    else if (!lines_.empty())
        store_ = std::make_shared<core::TextStore>();
    lines_.clear();
}

void ColourLogView::appendLine(const QString& text, const QColor& colour)
{
    appendLine(QString(), text, colour);
}

void ColourLogView::appendLine(const QString& prefix, const QString& text, const QColor& colour)
{
    const int at = textLength_;
    const bool first = lines_.empty();
    const int index = prefixIndex(prefix);
    const int runPrefix = qMax(0, index);
    if (runs_.empty() || runs_.back().colour != colour.rgb() || runs_.back().prefix != runPrefix)
        runs_.push_back({lineCount(), colour.rgb(), runPrefix});
    lines_.push_back(store_->add(index < 0 ? QString(prefix + text) : text));
    const int length = int(prefix.size() + text.size());
    textLength_ += length + (first ? 0 : 1);
    if (QAccessible::isActive()) {
        QAccessibleTextInsertEvent inserted(this, at, first ? prefix + text : u'\n' + prefix + text);
        QAccessible::updateAccessibility(&inserted);
    }
    // Measuring every line would cost more than storing it: estimate from
    // the length, and take the real width of each line that gets painted.
    widest_ = qMax(widest_, length * fontMetrics().averageCharWidth());
    // Setting the scroll bars for every line cost more than storing it (each
    // change signals, lays them out again and repaints them): set them once for all the
    // lines appended before the next paint or pass of the event loop.
    if (!barsStale_) {
        barsStale_ = true;
        QMetaObject::invokeMethod(
            this, [this] { settleScrollBars(); }, Qt::QueuedConnection);
        viewport()->update();
    }
}

void ColourLogView::settleScrollBars() const
{
    if (!barsStale_)
        return;
    barsStale_ = false;
    updateScrollBars();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ColourLogView::clear()
{
    if (QAccessible::isActive() && textLength_ > 0) {
        QAccessibleTextRemoveEvent removed(this, 0, lines().join(u'\n'));
        QAccessible::updateAccessibility(&removed);
    }
    releaseLines();
    runs_.clear();
    textLength_ = 0;
    widest_ = 0;
    anchor_ = current_ = -1;
    barsStale_ = false;
    updateScrollBars();
    viewport()->update();
}

QStringList ColourLogView::lines() const
{
    QStringList out;
    out.reserve(qsizetype(lines_.size()));
    for (int i = 0; i < lineCount(); ++i)
        out.append(textOf(i));
    return out;
}

QColor ColourLogView::lineColour(int line) const
{
    if (line < 0 || line >= lineCount())
        return {};
    return QColor(runOf(line).colour);
}

QString ColourLogView::selectedText() const
{
    if (anchor_ < 0 || current_ < 0)
        return {};
    QStringList out;
    for (int i = qMin(anchor_, current_); i <= qMax(anchor_, current_) && i < lineCount(); ++i)
        out.append(textOf(i));
    return out.join(u'\n');
}

QString ColourLogView::line(int line) const
{
    return line >= 0 && line < lineCount() ? textOf(line) : QString();
}

std::pair<int, int> ColourLogView::selectedLines() const
{
    if (anchor_ < 0 || current_ < 0)
        return {-1, -1};
    return {qMin(anchor_, current_), qMin(qMax(anchor_, current_), lineCount() - 1)};
}

void ColourLogView::selectLines(int first, int last)
{
    if (first < 0 || lines_.empty()) {
        anchor_ = current_ = -1;
    } else {
        anchor_ = qBound(0, first, lineCount() - 1);
        current_ = qBound(anchor_, last, lineCount() - 1);
    }
    viewport()->update();
}

void ColourLogView::scrollToLine(int line)
{
    settleScrollBars();
    const QScrollBar* bar = verticalScrollBar();
    if (line < bar->value() || line >= bar->value() + bar->pageStep())
        verticalScrollBar()->setValue(line);
}

QRect ColourLogView::lineRect(int line) const
{
    settleScrollBars();
    const int h = lineHeight();
    return QRect(4 - horizontalScrollBar()->value(), (line - verticalScrollBar()->value()) * h,
                 fontMetrics().horizontalAdvance(this->line(line)), h);
}

int ColourLogView::lineAtPoint(const QPoint& at) const
{
    return lines_.empty() ? -1 : lineAt(at.y());
}

const ColourLogView::Run& ColourLogView::runOf(int line) const
{
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), line,
                                        [](int l, const Run& run) { return l < run.first; });
    return *(after - 1);
}

QString ColourLogView::textOf(int line) const
{
    const int prefix = runOf(line).prefix;
    const QStringView text = store_->view(lines_[size_t(line)]);
    return prefix == 0 ? text.toString() : QString(prefixes_[prefix]).append(text);
}

int ColourLogView::prefixIndex(const QString& prefix)
{
    if (prefix.isEmpty())
        return 0;
    const qsizetype found = prefixes_.indexOf(prefix);
    if (found > 0)
        return int(found);
    if (prefixes_.size() > 255)
        return -1;
    prefixes_.append(prefix);
    return int(prefixes_.size() - 1);
}

int ColourLogView::lineHeight() const
{
    return fontMetrics().height();
}

int ColourLogView::lineAt(int y) const
{
    settleScrollBars();
    return qBound(0, verticalScrollBar()->value() + y / lineHeight(), qMax(0, lineCount() - 1));
}

void ColourLogView::updateScrollBars() const
{
    const int visible = qMax(1, viewport()->height() / lineHeight());
    verticalScrollBar()->setRange(0, qMax(0, lineCount() - visible));
    verticalScrollBar()->setPageStep(visible);
    horizontalScrollBar()->setRange(0, qMax(0, widest_ + 8 - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void ColourLogView::paintEvent(QPaintEvent*)
{
    settleScrollBars();
    QPainter p(viewport());
    const int h = lineHeight();
    const int first = verticalScrollBar()->value();
    const int x = 4 - horizontalScrollBar()->value();
    const int selFirst = qMin(anchor_, current_), selLast = qMax(anchor_, current_);
    int widest = 0;
    for (int i = first, y = 0; i < lineCount() && y < viewport()->height(); ++i, y += h) {
        QColor colour(runOf(i).colour);
        if (anchor_ >= 0 && i >= selFirst && i <= selLast) {
            p.fillRect(0, y, viewport()->width(), h, palette().highlight());
            colour = palette().highlightedText().color();
        }
        p.setPen(colour);
        const QString text = textOf(i);
        p.drawText(x, y + fontMetrics().ascent(), text);
        widest = qMax(widest, fontMetrics().horizontalAdvance(text));
    }
    if (widest > widest_) {
        widest_ = widest;
        updateScrollBars();
    }
}

void ColourLogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    settleScrollBars();
}

void ColourLogView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || lines_.empty())
        return;
    current_ = lineAt(event->position().toPoint().y());
    if (!(event->modifiers() & Qt::ShiftModifier) || anchor_ < 0)
        anchor_ = current_;
    viewport()->update();
}

void ColourLogView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || anchor_ < 0)
        return;
    current_ = lineAt(event->position().toPoint().y());
    viewport()->update();
}

void ColourLogView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(selectedText());
    } else if (event->matches(QKeySequence::SelectAll) && !lines_.empty()) {
        anchor_ = 0;
        current_ = lineCount() - 1;
        viewport()->update();
    } else {
        settleScrollBars(); // the keys page and scroll from where the bars are
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void ColourLogView::wheelEvent(QWheelEvent* event)
{
    settleScrollBars();
    QAbstractScrollArea::wheelEvent(event);
}
