#pragma once
// A label that works as a link: bold, underlined, blue, a hand cursor, green
// while the mouse is over it; a left click emits clicked().

#include <QLabel>

class HoverLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit HoverLinkLabel(const QString& text, QWidget* parent = nullptr);

    // The colour of the text now: blue, or green under the mouse.
    QColor textColour() const { return palette().color(QPalette::WindowText); }

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setColour(const QColor& colour);
};
