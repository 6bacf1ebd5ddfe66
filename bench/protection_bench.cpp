// Times what the deletion's protections cost on this machine: reading the
// package manager's file lists into the set the walks and deletions ask, the
// look at what running processes hold (with N extra processes each holding a
// file), and a deletion pass of many files with and without that look.
//
// Usage: protection_bench [PROCESSES] [FILES]   (defaults 1000, 100000)

#include "platform/TestSeams.h"
#include "platform/DeletionPass.h"
#include "platform/PackageFiles.h"
#include "platform/ShellDelete.h"
#include "posix/HeldEntries.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <csignal>
#include <ctime>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Milliseconds of processor time this process has used: on a machine busy
// with other work it tells the cost better than the clock on the wall.
double cpuMs()
{
    struct timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

long rssKiB()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kib = 0;
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld", &kib) == 1)
            break;
    if (f)
        std::fclose(f);
    return kib;
}

// Starts n sleeping processes, each with the file held open as its input.
std::vector<pid_t> startHolders(int n, const QByteArray& file)
{
    std::vector<pid_t> pids;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, file.constData(), O_RDONLY, 0);
    char sleepName[] = "sleep", seconds[] = "600";
    char* argv[] = {sleepName, seconds, nullptr};
    for (int i = 0; i < n; ++i) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "sleep", &actions, nullptr, argv, environ) == 0)
            pids.push_back(pid);
    }
    posix_spawn_file_actions_destroy(&actions);
    return pids;
}

void stopAll(const std::vector<pid_t>& pids)
{
    for (pid_t pid : pids)
        ::kill(pid, SIGKILL);
    for (pid_t pid : pids)
        ::waitpid(pid, nullptr, 0);
}

// Makes files files in folders of 1 000 below root/c and returns their paths.
QStringList makeFiles(const QString& root, int files)
{
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const QString folder = QStringLiteral("d%1").arg(i / 1000);
        if (i % 1000 == 0)
            QDir().mkpath(root + "/c/" + folder);
        const QString name = QStringLiteral("f%1.tmp").arg(i);
        ::close(::open(QFile::encodeName(root + "/c/" + folder + "/" + name).constData(), O_CREAT | O_WRONLY, 0644));
        paths << "c:\\" + folder + "\\" + name;
    }
    return paths;
}

struct Cost {
    double wall = 0;
    double cpu = 0;
};

Cost deletionPass(const QString& root, int files, bool inUseCheck)
{
    const QStringList paths = makeFiles(root, files);
    platform::testseams::setInUseCheck(inUseCheck);
    QElapsedTimer t;
    t.start();
    const double cpu = cpuMs();
    int failed = 0;
    {
        const platform::DeletionPass pass;
        for (const QString& p : paths)
            failed += platform::ShellDelete::erase(p) ? 0 : 1;
    }
    const Cost cost{double(t.nsecsElapsed()) / 1e6, cpuMs() - cpu};
    if (failed)
        std::printf("  (%d deletions failed)\n", failed);
    return cost;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int processes = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 100000;

    long before = rssKiB();
    QElapsedTimer t;
    t.start();
    platform::PackageFiles::contains("/");
    const double listMs = double(t.nsecsElapsed()) / 1e6;
    const platform::PackageFiles::Figures fig = platform::PackageFiles::figures();
    std::printf("package set: %lld paths from %lld lists in %.1f ms, %lld KiB kept (RSS +%ld KiB while reading)\n",
                qlonglong(fig.paths), qlonglong(fig.lists), listMs, qlonglong(fig.bytes / 1024), rssKiB() - before);

    QTemporaryDir dir;
    const QString root = dir.path();
    qputenv("VARNEL_DRIVES", "c=" + QFile::encodeName(root) + "/c");
    QDir().mkpath(root + "/c");
    const QByteArray heldFile = QFile::encodeName(root + "/held");
    ::close(::open(heldFile.constData(), O_CREAT | O_WRONLY, 0644));
    const std::vector<pid_t> holders = startHolders(processes, heldFile);
    ::usleep(300000); // let them reach sleep
    for (int run = 0; run < 3; ++run) {
        t.restart();
        const double cpu = cpuMs();
        const platform::posix::HeldEntries held = platform::posix::HeldEntries::snapshot();
        std::printf("held entries: %zu from %d processes in %.1f ms (%.1f ms of processor time), %zu KiB\n",
                    held.size(), held.processes(), double(t.nsecsElapsed()) / 1e6, cpuMs() - cpu,
                    held.size() * 16 / 1024);
    }
    for (int run = 0; run < 2; ++run) {
        const Cost off = deletionPass(root, files, false);
        const Cost on = deletionPass(root, files, true);
        std::printf("deletion pass of %d files: without the in-use look %.0f ms (%.0f ms processor), with it %.0f ms "
                    "(%.0f ms processor); ratio %.3f wall, %.3f processor\n",
                    files, off.wall, off.cpu, on.wall, on.cpu, on.wall / off.wall, on.cpu / off.cpu);
    }
    stopAll(holders);
    return 0;
}
