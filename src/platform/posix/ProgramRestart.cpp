#include "platform/ProgramRestart.h"

#include <QCoreApplication>
#include <QProcess>

namespace platform {

bool ProgramRestart::startIn(const QString& prefixFolder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (prefixFolder.isEmpty())
        env.remove(QStringLiteral("WINEPREFIX"));
    else
        env.insert(QStringLiteral("WINEPREFIX"), prefixFolder);
    p.setProcessEnvironment(env);
    p.setProgram(QCoreApplication::applicationFilePath());
    p.setArguments(QCoreApplication::arguments().mid(1));
    return p.startDetached();
}

} // namespace platform
