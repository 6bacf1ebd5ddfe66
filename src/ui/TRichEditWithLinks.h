#pragma once
// A read-only rich text control whose formatted links report clicks: a left
// click on any character of a link run raises OnHyperlinkClicked with the
// run's first and past-the-end positions and its text. Positions are the
// control's own character positions (one per line break).

#include <QTextEdit>
#include <functional>

class TRichEditWithLinks : public QTextEdit {
    Q_OBJECT
public:
    using TLinkClicked = std::function<void(QObject* Sender, int cpMin, int cpMax, const QString& lpstrText)>;

    explicit TRichEditWithLinks(QWidget* parent = nullptr);

    // Formats the current selection as a link (underlined, pure blue) or
    // takes that format off it (no underline, the control's font colour).
    // With nothing selected the caret's format changes, for what is typed
    // next.
    void SetLinkStyle(bool On);

    // The character under a point of the viewport; -1 over no character.
    int CharAt(const QPoint& viewportPos) const;

    // The link run that holds position pos as [cpMin, cpMax); an empty
    // range when that character is no link.
    std::pair<int, int> LinkRunAt(int pos) const;

    // The text between two positions, line breaks as CR LF.
    QString TextRange(int cpMin, int cpMax) const;

    TLinkClicked OnHyperlinkClicked;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool isLinkAt(int pos) const;
};
