#include "app/ApplicationSetup.h"
#include "app/TMainForm.h"
#include "settings/Settings.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SetUpApplication();
    RemoveStaleSettingsFiles();
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
