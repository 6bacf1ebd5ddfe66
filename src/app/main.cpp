#include "app/TMainForm.h"

#include "platform/MessagePump.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    platform::MessagePump::setHook([] { QCoreApplication::processEvents(); });
    TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
