#pragma once
// A tool bar button with its image above its caption, which tells when the
// mouse comes over it and leaves it, so its owner can swap the image.

#include <QToolButton>

class ImageToolButton : public QToolButton {
    Q_OBJECT
public:
    // A flat button of the given fixed size with room for a 32-pixel image.
    explicit ImageToolButton(const QString& caption, QSize size = QSize(65, 58), QWidget* parent = nullptr);

Q_SIGNALS:
    void mouseEntered();
    void mouseLeft();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
