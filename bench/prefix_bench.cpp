// Times the prefix finder on a fake home holding as many prefixes as a
// user with many games has (default 50): Proton prefixes in two Steam
// libraries, bottles, Lutris games, PlayOnLinux folders and ~/.wine. Its
// peer is the least any finder must do: resolving and checking the same
// prefix folders, with no front-end file read.
//
// Usage: prefix_bench [PREFIXES] [RUNS]   (defaults 50, 21)

#include "platform/WinePrefixFinder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

namespace {

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

void makePrefix(const QString& dir, QStringList& made)
{
    writeFile(dir + QStringLiteral("/system.reg"),
              "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
              "#arch=win64\n\n[Software] 1700000000\n");
    QDir().mkpath(dir + QStringLiteral("/drive_c/windows/system32"));
    made << dir;
}

// The fake home: prefixes dealt out over the front ends in turn.
QStringList buildHome(const QString& home, int count)
{
    QStringList made;
    const QString steam = home + QStringLiteral("/.local/share/Steam");
    const QString library2 = home + QStringLiteral("/SteamLibrary");
    writeFile(steam + QStringLiteral("/steamapps/libraryfolders.vdf"),
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam.toUtf8()
                  + "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library2.toUtf8() + "\"\n\t}\n}\n");
    makePrefix(home + QStringLiteral("/.wine"), made);
    for (int i = 1; i < count; ++i) {
        const QString n = QString::number(i);
        switch (i % 5) {
        case 0:
        case 1: {
            const QString library = i % 5 ? steam : library2;
            const QString id = QString::number(100000 + i);
            makePrefix(library + QStringLiteral("/steamapps/compatdata/") + id + QStringLiteral("/pfx"), made);
            writeFile(library + QStringLiteral("/steamapps/appmanifest_") + id + QStringLiteral(".acf"),
                      "\"AppState\"\n{\n\t\"appid\"\t\t\"" + id.toUtf8() + "\"\n\t\"name\"\t\t\"Игра " + n.toUtf8()
                          + "\"\n\t\"installdir\"\t\t\"Game\"\n}\n");
            break;
        }
        case 2: {
            const QString bottle = home + QStringLiteral("/.local/share/bottles/bottles/b") + n;
            makePrefix(bottle, made);
            writeFile(bottle + QStringLiteral("/bottle.yml"), "Arch: win64\nName: Bottle " + n.toUtf8() + "\n");
            break;
        }
        case 3:
            makePrefix(home + QStringLiteral("/Games/g") + n, made);
            writeFile(home + QStringLiteral("/.config/lutris/games/g") + n + QStringLiteral("-1700000000.yml"),
                      "game:\n  prefix: ~/Games/g" + n.toUtf8() + "\nname: Game " + n.toUtf8() + "\n");
            break;
        default:
            makePrefix(home + QStringLiteral("/.PlayOnLinux/wineprefix/p") + n, made);
        }
    }
    return made;
}

double medianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 50;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 21;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/varnel-prefix-bench-XXXXXX"));
    const QString home = dir.path() + QStringLiteral("/home");
    const QStringList made = buildHome(home, count);

    std::vector<double> finder, peer;
    qsizetype found = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        found = platform::WinePrefixFinder::find(home).size();
        finder.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        int valid = 0;
        for (const QString& p : made) {
            char* real = ::realpath(p.toUtf8().constData(), nullptr);
            struct stat st;
            valid += real && ::lstat((QByteArray(real) + "/system.reg").constData(), &st) == 0
                && ::lstat((QByteArray(real) + "/drive_c").constData(), &st) == 0;
            std::free(real);
        }
        peer.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    QElapsedTimer t;
    t.start();
    QList<platform::FoundPrefix> all = platform::WinePrefixFinder::find(home);
    platform::WinePrefixFinder::measure(all);
    const double withSizes = double(t.nsecsElapsed()) / 1e6;

    std::printf("prefixes made %lld, found %lld\n", (long long)made.size(), (long long)found);
    std::printf("find():          median %.2f ms over %d runs (target < 100 ms)\n", medianMs(finder), runs);
    std::printf("peer (realpath + 2 lstat per prefix): median %.3f ms, ratio %.1fx\n", medianMs(peer),
                medianMs(finder) / std::max(medianMs(peer), 1e-6));
    std::printf("find() + measure() of these small prefixes: %.2f ms\n", withSizes);
    return found == made.size() ? 0 : 1;
}
