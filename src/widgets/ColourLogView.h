#pragma once
// A read-only log of lines, each in one colour, that keeps its newest line
// in view. It draws only the lines in sight and lays out nothing else, so
// appending stays as quick at the 100 000th line as at the first. Lines can
// be selected with the mouse (whole lines) and copied with Ctrl+C.

#include <QAbstractScrollArea>
#include <QColor>
#include <utility>
#include <deque>
#include <vector>

class ColourLogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ColourLogView(QWidget* parent = nullptr);

    // Appends text as the new last line in colour and scrolls to it.
    void appendLine(const QString& text, const QColor& colour);
    // The same for the line prefix + text. The log keeps text (sharing its
    // data) and a number for prefix; past 255 different prefixes it keeps
    // the joined line instead.
    void appendLine(const QString& prefix, const QString& text, const QColor& colour);

    // Removes every line.
    void clear();

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
    void updateScrollBars();
    // The run line belongs to; line must exist.
    const Run& runOf(int line) const;
    // The whole text of an existing line.
    QString textOf(int line) const;
    // The prefix's number in prefixes_, added when new; -1 when the table
    // is full.
    int prefixIndex(const QString& prefix);

    // The lines' texts after their prefixes. A deque grows in blocks: a
    // vector's doubling would hold the old and the new array at once.
    std::deque<QString> lines_;
    std::vector<Run> runs_; // by first line
    QStringList prefixes_{QString()};
    int textLength_ = 0; // characters of the lines joined by newlines
    int widest_ = 0;
    int anchor_ = -1; // selection: the line pressed first and the current one
    int current_ = -1;
};
