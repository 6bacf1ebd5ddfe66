// Linked with every object of one logic library and nothing but Qt Core
// besides what that library itself declares: that it links at all proves
// none of its code needs a widget, and at run time it checks that neither Qt
// Gui nor Qt Widgets came along into the process.

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return 2;
    char line[4096];
    int found = 0;
    while (std::fgets(line, sizeof line, maps))
        if (std::strstr(line, "libQt6Gui") || std::strstr(line, "libQt6Widgets")) {
            std::fprintf(stderr, "%s links beyond Qt Core: %s", argv[0], line);
            found = 1;
            break;
        }
    std::fclose(maps);
    return found;
}
