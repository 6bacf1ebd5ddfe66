#pragma once
// A read-only log of lines, each in one colour, that keeps its newest line
// in view. It draws only the lines in sight and lays out nothing else, so
// appending stays as quick at the 100 000th line as at the first. Lines can
// be selected with the mouse (whole lines) and copied with Ctrl+C.
//
// Appending does not touch the scroll bars: they catch up (ranges, and the
// newest line in view) once for all the lines appended since, at the next
// paint or pass of the event loop, and before any function of this class
// that reads them. Code that reads verticalScrollBar() or
// horizontalScrollBar() right after appending, with no event loop in
// between, calls settleScrollBars() first.

#include "core/TextStore.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

class ColourLogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ColourLogView(QWidget* parent = nullptr);
    ~ColourLogView() override;

    // Where the lines' texts are kept. A list that shows the same texts
    // (the found files) keeps them in this store too, and the log then
    // keeps no second copy of a text added there just before.
    const std::shared_ptr<core::TextStore>& textStore() const { return store_; }

    // Appends text as the new last line in colour and scrolls to it (the
    // scroll bars follow later, see above).
    void appendLine(const QString& text, const QColor& colour);
    // The same for the line prefix + text. The log keeps text in its store
    // and a number for prefix; past 255 different prefixes it keeps the
    // joined line instead.
    void appendLine(const QString& prefix, const QString& text, const QColor& colour);

    // Removes every line.
    void clear();

    // Brings the scroll bars up to date with the lines appended since they
    // were last set, and scrolls to the newest line if any was appended;
    // nothing when they are current.
    void settleScrollBars() const;

    // The lines, oldest first, and the colour of one of them (invalid for
    // a line that does not exist).
    QStringList lines() const;
    QColor lineColour(int line) const;
    int lineCount() const { return int(lines_.size()); }

    // The selected lines as text, one per line.
    QString selectedText() const;

    // One line's text (empty for a line that does not exist).
    QString line(int line) const;
    // The first and last selected line, {-1, -1} when none is.
    std::pair<int, int> selectedLines() const;
    // Selects the lines first..last (cut to the lines there are); -1 clears.
    void selectLines(int first, int last);
    // Scrolls so that line is in view.
    void scrollToLine(int line);
    // Where line is drawn, in viewport coordinates, and the line drawn at
    // a viewport point (-1 when there are no lines).
    QRect lineRect(int line) const;
    int lineAtPoint(const QPoint& at) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Lines in a row of one colour and prefix share one run: a log of found
    // files is one long run, so a line costs its text alone.
    struct Run {
        int first; // the run's first line
        QRgb colour;
        int prefix; // index into prefixes_; 0 is none
    };

    int lineHeight() const;
    int lineAt(int y) const;
    // Sets the scroll bars' ranges and steps from the lines and the viewport.
    void updateScrollBars() const;
    // The run line belongs to; line must exist.
    const Run& runOf(int line) const;
    // The whole text of an existing line.
    QString textOf(int line) const;
    // The prefix's number in prefixes_, added when new; -1 when the table
    // is full.
    int prefixIndex(const QString& prefix);

    // Gives every line's text back to the store.
    void releaseLines();

    std::shared_ptr<core::TextStore> store_;
    // The lines' texts after their prefixes, in store_. A deque grows in
    // blocks: a vector's doubling would hold the old and the new array at
    // once.
    std::deque<core::TextStore::Ref> lines_;
    std::vector<Run> runs_; // by first line
    QStringList prefixes_{QString()};
    int textLength_ = 0; // characters of the lines joined by newlines
    int widest_ = 0;
    // Lines were appended since the scroll bars were last set; a settling
    // is queued.
    mutable bool barsStale_ = false;
    int anchor_ = -1; // selection: the line pressed first and the current one
    int current_ = -1;
};
