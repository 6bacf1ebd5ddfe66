// Times the main window's found-file list and log at 100 000 rows
// (offscreen): inserting rows at the top, appending coloured log lines,
// and removing every row.

#include "app/TFoundFileModel.h"
#include "widgets/ColourLogView.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    FoundIconList icons;
    TFoundFileModel model(&icons);
    ReportListView list;
    list.setModel(&model);
    ColourLogView log;
    list.show();
    log.show();

    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rows; ++i)
        model.insertTop(QStringLiteral("c:\\dir\\file%1.tmp").arg(i), 1, -1, {});
    QCoreApplication::processEvents();
    std::printf("list: %d rows inserted at the top   %6lld ms\n", rows, t.restart());
    for (int i = 0; i < rows; ++i)
        log.appendLine(QStringLiteral("Найден файл - c:\\dir\\file%1.tmp").arg(i), Qt::black);
    QCoreApplication::processEvents();
    std::printf("log:  %d lines appended             %6lld ms\n", rows, t.restart());
    list.selectAll();
    QList<int> all;
    for (int i = 0; i < rows; ++i)
        all.append(i);
    model.removePositions(all);
    std::printf("list: every row removed              %6lld ms\n", t.restart());
    return 0;
}
