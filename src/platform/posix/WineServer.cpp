#include "platform/WineServer.h"

#include "platform/WinePrefix.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QProcess>

#include <algorithm>

namespace platform {

namespace {

Q_LOGGING_CATEGORY(lcWineServer, "varnel.wineserver")

QString program()
{
    const QString own = qEnvironmentVariable("WINESERVER");
    return own.isEmpty() ? QStringLiteral("wineserver") : own;
}

// Runs the server program with one option for the prefix; true when it
// ended by itself before the deadline. One still running then is killed:
// it is our own client, never the server.
bool runFor(const QByteArray& prefixFolder, const QString& option, const QDeadlineTimer& deadline)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), QString::fromLocal8Bit(prefixFolder));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program(), {option});
    if (!p.waitForStarted(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
        qCInfo(lcWineServer, "%s %s could not be started", qPrintable(program()), qPrintable(option));
        return false;
    }
    if (!p.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit;
}

} // namespace

bool WineServer::stop(const QByteArray& prefixFolder, int timeoutMs)
{
    if (prefixFolder.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    if (runFor(prefixFolder, QStringLiteral("-k"), deadline))
        runFor(prefixFolder, QStringLiteral("-w"), deadline);
    const bool stopped = !WinePrefix::serverRunning(prefixFolder);
    qCInfo(lcWineServer, "the wineserver of %s %s", prefixFolder.constData(), stopped ? "has stopped" : "still runs");
    return stopped;
}

} // namespace platform
