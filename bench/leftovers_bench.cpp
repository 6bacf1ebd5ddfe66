// Times the Wine leftovers finder's scan over a Steam library of left-over
// Proton prefixes and shader caches (default 50 of each, 1 000 000 files in
// all) against `du -s` over the same folders: the least any tool that sizes
// them must do. Warm runs by default; with COLD=1 (as root) the kernel's
// caches are dropped before every run of either. Prints the medians and the
// finder's ratio to du.
//
// Usage: leftovers_bench [FILES] [RUNS] [PREFIXES]   (defaults 1000000, 5, 50)

#include "cleaners/wine/WineLeftoversJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void makeFile(const QByteArray& path, int size)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (size > 0)
        ::ftruncate(fd, size);
    ::close(fd);
}

// One prefix or cache: files spread over folders of 100, like a game's.
void fill(const QByteArray& root, qint64 files, bool prefix)
{
    const QByteArray base = prefix ? root + "/pfx/drive_c/users/steamuser/AppData/Roaming/Game" : root + "/fozpipelinesv6";
    QDir().mkpath(QString::fromUtf8(base));
    if (prefix)
        makeFile(root + "/pfx/system.reg", 4096);
    for (qint64 i = 0; i < files; ++i) {
        const QByteArray folder = base + "/d" + QByteArray::number(i / 100);
        if (i % 100 == 0)
            ::mkdir(folder.constData(), 0755);
        makeFile(folder + "/f" + QByteArray::number(i % 100), int(i % 7) * 512);
    }
}

class CountingSink : public core::JobSink {
public:
    void found(const core::Finding& f) override
    {
        ++count;
        bytes += f.size;
    }
    qsizetype count = 0;
    quint64 bytes = 0;
};

void dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        (void)!::write(fd, "3\n", 2);
        ::close(fd);
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qint64 files = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const int prefixes = argc > 3 ? std::atoi(argv[3]) : 50;
    const bool cold = qgetenv("COLD") == "1";
    if (cold && ::geteuid() != 0) {
        std::fprintf(stderr, "COLD=1 drops the kernel's caches: run as root\n");
        return 1;
    }
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/varnel-leftovers-bench-XXXXXX"));
    const QByteArray home = QFile::encodeName(dir.path()) + "/home";
    const QByteArray steamapps = home + "/.local/share/Steam/steamapps";
    QDir().mkpath(QString::fromUtf8(steamapps));
    const qint64 each = files / (2 * prefixes);
    QStringList duArgs{QStringLiteral("-s")};
    for (int i = 0; i < prefixes; ++i) {
        const QByteArray id = QByteArray::number(200000 + i);
        fill(steamapps + "/compatdata/" + id, each, true);
        fill(steamapps + "/shadercache/" + id, each, false);
        duArgs << QString::fromUtf8(steamapps + "/compatdata/" + id) << QString::fromUtf8(steamapps + "/shadercache/" + id);
    }
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", home + "/data");
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_CACHE_HOME", home + "/cache");

    std::vector<double> finder, du;
    CountingSink sink;
    for (int r = 0; r < runs; ++r) {
        if (cold)
            dropCaches();
        QElapsedTimer t;
        t.start();
        sink = CountingSink();
        WineLeftoversJob().scan(core::Context::current(), sink);
        finder.push_back(double(t.nsecsElapsed()) / 1e6);
        if (cold)
            dropCaches();
        t.restart();
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral("du"), duArgs);
        p.waitForFinished(-1);
        du.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("%s, %lld files in %d prefixes and %d shader caches; found %lld rows, %llu bytes\n",
                cold ? "cold" : "warm", (long long)(each * 2 * prefixes), prefixes, prefixes, (long long)sink.count,
                (unsigned long long)sink.bytes);
    std::printf("scan: median %.1f ms; du -s: median %.1f ms; ratio %.2fx (target %s)\n", median(finder), median(du),
                median(finder) / std::max(median(du), 1e-6), cold ? "<= 0.8x" : "<= 1.2x");
    return sink.count == 2 * prefixes ? 0 : 1;
}
