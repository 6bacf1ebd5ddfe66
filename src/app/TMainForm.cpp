#include "app/TMainForm.h"

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral(" Varnel 1.9"));
    setMinimumSize(600, 450);
    resize(600, 450);
}
