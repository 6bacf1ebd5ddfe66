#pragma once
// The panel that lies over the log while found files are deleted: a bold
// title, the current file, and a bar of files done.

#include <QFrame>

#include "widgets/StatusPane.h"

class QLabel;
class PartsProgressBar;

class TProgressPanel : public QFrame {
    Q_OBJECT
public:
    explicit TProgressPanel(QWidget* parent = nullptr);

    QLabel* DelPanelLabel;
    StatusPane* DelNameLabel; // told per deleted file
    PartsProgressBar* DelProgress;

    // Keeps the bar as wide as the panel less 8 pixels.
    void ProgressPanelResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
};
