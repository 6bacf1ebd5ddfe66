#pragma once
// A one-line status pane that may be told a new text for every entry a job
// meets. text() answers the latest text at once; the label shows it at most
// once per frame (about 16 ms), and the last text told is always shown once
// the event loop runs. Each setText of a plain label re-lays out the status
// bar and repaints it, which a person cannot see faster than a frame anyway.
//
// Set and read its text through StatusPane, not through a QLabel pointer:
// the label's own text() is what is on screen, which may be a frame behind.
// Shown as plain text: a path or name holding "<b>" is no markup.

#include <QLabel>
#include <QTimer>

class StatusPane : public QLabel {
    Q_OBJECT
public:
    explicit StatusPane(QWidget* parent = nullptr);

    // The latest text told, whether or not it is on screen yet (what the
    // label holds when it was last set as a plain QLabel).
    QString text() const { return frame_.isActive() ? latest() : QLabel::text(); }
    // Takes text at once and shows it now, or at the next frame when the
    // pane was shown a text less than a frame ago.
    void setText(const QString& text);
    // The same for the text prefix followed by tail, joined only when it is
    // shown or asked for: a job that names every entry it meets pays for
    // no copy of the entry's name per entry.
    void setText(const QString& prefix, const QString& tail);
    void clear() { setText(QString()); }
    // Takes text and shows it now, however short a while the last one was
    // up: for the text a job ends with, which a person is waiting for and
    // which no other follows.
    void setTextNow(const QString& text);

    // How long a text stays on screen before the next one replaces it.
    static constexpr int frameMs = 16;

private:
    void showLatest();
    void took();
    QString latest() const { return latest_ + latestTail_; }

    QString latest_; // the text told, or the prefix of one told in two parts
    QString latestTail_;
    quint32 shownAt_ = 0; // the run's tick count (platform::TickCounter) when last shown
    bool shown_ = false; // a text was shown since the pane was made
    QTimer frame_;
};
