#include "app/TProgressPanel.h"

#include "widgets/PartsProgressBar.h"

#include <QLabel>

TProgressPanel::TProgressPanel(QWidget* parent)
    : QFrame(parent)
    , DelPanelLabel(new QLabel(QStringLiteral("Удаление файлов"), this))
    , DelNameLabel(new StatusPane(this))
    , DelProgress(new PartsProgressBar(this))
{
    setObjectName(QStringLiteral("ProgressPanel"));
    DelNameLabel->setText(QStringLiteral("Удаление")); // then file names, never markup
    setFrameShape(QFrame::StyledPanel);
    DelPanelLabel->setObjectName(QStringLiteral("DelPanelLabel"));
    DelNameLabel->setObjectName(QStringLiteral("DelNameLabel"));
    DelProgress->setObjectName(QStringLiteral("DelProgress"));
    DelProgress->setAccessibleName(QStringLiteral("Ход удаления"));
    QFont bold = DelPanelLabel->font();
    bold.setBold(true);
    DelPanelLabel->setFont(bold);
    const QColor navy(0, 0, 128);
    DelProgress->setBarColor(navy);
    DelProgress->setTextColor(navy);
    DelPanelLabel->move(4, 4);
    DelNameLabel->move(4, 24);
    DelProgress->setGeometry(4, 50, 100, 18);
}

void TProgressPanel::ProgressPanelResize()
{
    DelProgress->resize(width() - 8, DelProgress->height());
    DelNameLabel->resize(width() - 8, DelNameLabel->sizeHint().height());
    DelPanelLabel->adjustSize();
}

void TProgressPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    ProgressPanelResize();
}
