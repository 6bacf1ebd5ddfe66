#include "app/ApplicationSetup.h"

#include "platform/MessageBoxService.h"
#include "platform/MessageBoxWindow.h"
#include "platform/MessagePump.h"
#include "platform/PathMapper.h"
#include "platform/ShellOpen.h"
#include "platform/TickCounter.h"
#include "settings/Settings.h"
#include "ui/THelpForm.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Long jobs let messages run before every entry and after every log line.
// Handling them once a frame keeps the window as responsive as handling them
// each time, without a repaint per found file. What they cost is mostly the
// window's repaints, which get at most a tenth of a job's time: where one
// pass takes longer than a frame's tenth, the passes come further apart
// (up to about ten a second).
void processMessages()
{
    // A walk comes here for every entry, some hundred thousand times a
    // second: the clock is read on every eighth call only.
    static unsigned calls = 0;
    if (++calls % 8 != 0)
        return;
    constexpr quint32 kFrameMs = 15, kLongestWaitMs = 100;
    static quint32 last = 0;
    static quint32 wait = kFrameMs;
    const quint32 now = platform::TickCounter::now();
    if (now - last < wait)
        return;
    QCoreApplication::processEvents();
    last = platform::TickCounter::now();
    wait = qBound(kFrameMs, 9 * (last - now), kLongestWaitMs);
}

} // namespace

bool LoadQtTranslation()
{
    // Qt's own texts (standard buttons, the edit controls' pop-up menus)
    // are English unless a translation is installed; the program speaks
    // Russian throughout. The translator lives as long as the application.
    auto* translator = new QTranslator(qApp);
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void ShowSettingsWriteFailure(const QString& file)
{
    // The host path: what the user has to make writable is a folder of the
    // host, not of the drive table.
    const QString host = QString::fromUtf8(platform::PathMapper::toHost(file));
    platform::MessageBoxService::show({QStringLiteral("Не удалось сохранить настройки в файл %1. "
                                                      "Папка программы недоступна для записи.")
                                           .arg(host),
                                       {},
                                       platform::MsgButtons::Ok,
                                       platform::MsgIcon::Error,
                                       QApplication::activeWindow()});
}

void SetUpApplication()
{
    Q_INIT_RESOURCE(menuimages);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    LoadQtTranslation();
    // The window was designed for MS Sans Serif 8 pt; where the host lacks it,
    // a font of like width keeps every caption inside its control.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    QApplication::setFont(font);
    // Group box captions sit on the frame line, as the dialogs were laid
    // out for; the default look puts them above it, into the controls.
    qApp->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 1px; }"));
    platform::MessageBoxWindow::install();
    platform::MessagePump::setHook(processMessages);
    platform::ShellOpen::setResourceHandler(&THelpForm::OpenAddress);
    SetSettingsWriteFailureHandler(&ShowSettingsWriteFailure);
}
