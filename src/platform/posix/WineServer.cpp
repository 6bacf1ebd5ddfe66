#include "platform/WineServer.h"

#include "platform/WinePrefix.h"
#include "platform/posix/TrustedProgram.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QProcess>

#include <QFile>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

Q_LOGGING_CATEGORY(lcWineServer, "varnel.wineserver")

// The server program, as an absolute path: $WINESERVER when it names one
// (as for Wine itself), else "wineserver" in an absolute folder of PATH.
// Empty, after saying why, when none is found or none may be trusted.
QByteArray program()
{
    QByteArray found = qgetenv("WINESERVER");
    if (!found.isEmpty() && !found.startsWith('/')) {
        qCInfo(lcWineServer, "WINESERVER=%s is no absolute path: not run", found.constData());
        return {};
    }
    if (found.isEmpty())
        found = posix::findOnPath("wineserver");
    if (found.isEmpty()) {
        qCInfo(lcWineServer, "no wineserver found");
        return {};
    }
    if (!posix::trustedExecutable(found)) {
        qCInfo(lcWineServer, "%s is not trusted (another user's, or writable by others): not run", found.constData());
        return {};
    }
    return found;
}

// Runs the server program with one option for the prefix; true when it
// ended by itself before the deadline. One still running then is killed:
// it is our own client, never the server. As root, a prefix another user
// owns is that user's server's, so the program runs as that user.
bool runFor(const QByteArray& prefixFolder, const QString& option, const QDeadlineTimer& deadline)
{
    const QByteArray server = program();
    if (server.isEmpty())
        return false;
    struct stat prefix;
    if (::stat(prefixFolder.constData(), &prefix) != 0)
        return false;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), QString::fromLocal8Bit(prefixFolder));
    if (::geteuid() == 0 && prefix.st_uid != 0) {
        const passwd* owner = ::getpwuid(prefix.st_uid);
        if (!owner) {
            qCInfo(lcWineServer, "the owner of %s is unknown: its server is not stopped", prefixFolder.constData());
            return false;
        }
        const uid_t uid = owner->pw_uid;
        const gid_t gid = owner->pw_gid;
        const QByteArray name = owner->pw_name;
        env.insert(QStringLiteral("HOME"), QString::fromLocal8Bit(owner->pw_dir));
        env.insert(QStringLiteral("USER"), QString::fromLocal8Bit(name));
        p.setChildProcessModifier([uid, gid, name] {
            // Only async-signal-safe calls here; a failed switch must never
            // leave the child running as root.
            if (::initgroups(name.constData(), gid) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(127);
        });
    }
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QFile::decodeName(server), {option});
    if (!p.waitForStarted(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
        qCInfo(lcWineServer, "%s %s could not be started", server.constData(), qPrintable(option));
        return false;
    }
    if (!p.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() != 127;
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
