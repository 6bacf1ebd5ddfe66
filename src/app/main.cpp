#include "app/ApplicationSetup.h"
#include "app/TMainForm.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SetUpApplication();
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
