#include "platform/Console.h"

#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

volatile std::sig_atomic_t interruptNoted = 0;

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
    return interruptNoted != 0;
}

} // namespace platform
