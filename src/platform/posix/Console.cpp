#include "platform/Console.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

volatile std::sig_atomic_t interruptNoted = 0;
bool outputClosedAtStart = false;
QString outputFailure;

// A handler rather than SIG_IGN: programs started later get the default
// back with exec.
void noteBrokenPipe(int) {}

bool outputFailed(int error)
{
    if (outputFailure.isEmpty())
        outputFailure = error == EPIPE ? QStringLiteral("its reader has gone (broken pipe)") : qt_error_string(error);
    return false;
}

void noteInterrupt(int signal)
{
    if (interruptNoted) {
        // Asked twice: the user means it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    interruptNoted = 1;
}

} // namespace

void Console::prepareStandardFiles()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number, which is fd: those below are
        // open by now.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0)
            ::close(opened);
        if (fd == STDOUT_FILENO)
            outputClosedAtStart = true;
    }
    if (outputClosedAtStart)
        outputFailure = QStringLiteral("standard output is closed");
    struct sigaction action {};
    action.sa_handler = noteBrokenPipe;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

bool Console::writeOut(const QByteArray& bytes)
{
    if (!outputFailure.isEmpty())
        return false;
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()))
        return true;
    return outputFailed(errno ? errno : EIO);
}

bool Console::flushOut()
{
    if (!outputFailure.isEmpty())
        return false;
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    return outputFailed(errno ? errno : EIO);
}

QString Console::outputError()
{
    return outputFailure;
}

bool Console::errorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

int Console::width()
{
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void Console::catchInterrupt()
{
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool Console::interrupted()
{
    return interruptNoted != 0 || !outputFailure.isEmpty();
}

} // namespace platform
