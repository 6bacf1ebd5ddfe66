#pragma once
// A read-only log of lines, each in one colour, that keeps its newest line
// in view. A plain-text view underneath, so 100 000 lines stay quick.

#include <QColor>
#include <QPlainTextEdit>

class ColourLogView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ColourLogView(QWidget* parent = nullptr);

    // Appends text as the new last line in colour and scrolls to it.
    void appendLine(const QString& text, const QColor& colour);

    // The lines, oldest first, and the colour of one of them.
    QStringList lines() const;
    QColor lineColour(int line) const;
    int lineCount() const;
};
