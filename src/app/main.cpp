#include "app/ApplicationSetup.h"
#include "app/TMainForm.h"
#include "core/Context.h"
#include "settings/Settings.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The prefix the program was started in (the prefix menu starts it
    // again in another) is the run's for good.
    core::Context::fromProcess().install();
    SetUpApplication();
    RemoveStaleSettingsFiles();
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
