// Times the three searches as a user sees them: the window shown
// (offscreen), a mouse click on its search button, and the time until the
// status pane has painted the end text. The tools are the empty-folder and
// zero-byte windows and the main window's junk search (every junk mask on,
// the temporary folders left out, as search_bench runs it). The empty-folder
// window's pause with messages running after the listing is timed apart, by
// the clock it reads, and printed both with and without it. The main
// window paints its buttons from the image library beside the program, as a
// person's copy does.
//
// usage: toolwindow_bench DIR [dirs|files|junk]   (all three when no second word)

#include "app/ApplicationSetup.h"
#include "app/TMainForm.h"
#include "cleaners/files/TEDirForm.h"
#include "cleaners/files/TEFileForm.h"
#include "platform/RunEnvironment.h"
#include "platform/KnownFolders.h"
#include "platform/MessageBoxService.h"
#include "platform/TickCounter.h"
#include "settings/Settings.h"
#include "widgets/ImageToolButton.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <vector>

namespace {

QElapsedTimer sinceStart;

// The clock the window's pause reads, every reading kept. The status pane
// reads it too (before the search), so the pause began at the latest
// reading at least its 200 ms before the last one: the pause ends at its
// first reading that far from its own start.
struct PauseClock {
    std::vector<qint64> readings;
    quint32 now()
    {
        readings.push_back(sinceStart.elapsed());
        return quint32(readings.back());
    }
    qint64 took() const
    {
        for (auto r = readings.rbegin(); r != readings.rend(); ++r)
            if (readings.back() - *r >= 200)
                return readings.back() - *r;
        return 0;
    }
};

// Notes the time the pane first paints a text that begins with `end`.
class EndPaint : public QObject {
public:
    EndPaint(QLabel* pane, QString end)
        : pane_(pane)
        , end_(std::move(end))
    {
        pane_->installEventFilter(this);
    }
    qint64 at = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == pane_ && event->type() == QEvent::Paint && at < 0 && pane_->text().startsWith(end_))
            at = sinceStart.elapsed();
        return false;
    }

private:
    QLabel* pane_;
    QString end_;
};

// Shows window, clicks button and waits for the end text to be painted.
// Returns milliseconds from the click to that paint, -1 when it never came.
qint64 clickAndWait(QWidget& window, QToolButton* button, QLabel* pane, const QString& end)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return -1;
    QApplication::processEvents();
    EndPaint paint(pane, end);
    const qint64 clicked = sinceStart.elapsed();
    QTest::mouseClick(button, Qt::LeftButton);
    const QDeadlineTimer deadline(10000);
    while (paint.at < 0 && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return paint.at < 0 ? -1 : paint.at - clicked;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: toolwindow_bench DIR [dirs|files]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VARNEL_DRIVES", QByteArray("c=") + argv[1]);
    QTemporaryDir program;
    QApplication app(argc, argv);
    sinceStart.start();
    PauseClock pause;
    platform::RunEnvironment environment = platform::RunEnvironment::current();
    environment.programFolder = QFile::encodeName(program.path());
    environment.clock = [&pause] { return pause.now(); };
    platform::RunEnvironment::install(environment);

    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    if (only.isEmpty() || only == "dirs") {
        TEDirForm dirs;
        const qint64 ms = clickAndWait(dirs, dirs.SrcBtn, dirs.StatPane, QStringLiteral("Поиск завершен"));
        std::printf("window empty folders      %8lld ms  (pause %lld ms, without it %lld ms; %d listed)\n", ms,
                    pause.took(), ms - pause.took(), dirs.DirsModel->rowCount());
    }
    // From here on messages run at the program's pump points as in the
    // program itself (the empty-folder walk lets none run, and the pump
    // would read the pause's clock).
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/vrimgs.dll"),
                program.filePath(QStringLiteral("vrimgs.dll")));
    environment.clock = {};
    platform::RunEnvironment::install(environment);
    SetUpApplication();
    platform::MessageBoxService::setHandler([](const platform::MessageRequest& r) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(r.text));
        return platform::MsgResult::Ok;
    });
    if (only.isEmpty() || only == "files") {
        TEFileForm files;
        const qint64 ms = clickAndWait(files, files.SrcfileBtn, files.StatPane, QStringLiteral("Поиск завершен"));
        std::printf("window zero-byte files    %8lld ms  (%d listed)\n", ms, files.FileModel->rowCount());
    }
    if (only.isEmpty() || only == "junk") {
        for (const char* key : {"OLDFiles", "GIDFiles"})
            WriteSetting(QStringLiteral("Search"), QLatin1String(key), QStringLiteral("Yes"));
        WriteSetting(QStringLiteral("Search"), QStringLiteral("TempFolders"), QStringLiteral("No"));
        TMainForm form;
        const qint64 ms = clickAndWait(form, form.SearchBtn, form.TextStatus, QStringLiteral("Поиск завершен"));
        std::printf("window junk search        %8lld ms  (%d listed)\n", ms, form.FileModel->rowCount());
    }
    return 0;
}
