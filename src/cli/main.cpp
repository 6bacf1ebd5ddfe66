// varnel-cli: the cleaner's jobs for scripts, ssh sessions and cron, on the
// same core as the window. Qt Core only: it starts without a display.

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "platform/Console.h"
#include "platform/MessagePump.h"
#include "platform/WinePrefix.h"
#include "platform/WinePrefixFinder.h"
#include "scan/TmFileScan.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <cstdio>

#ifndef VARNEL_VERSION
#define VARNEL_VERSION "unknown"
#endif

namespace CliCommands {

void complain(const QString& message)
{
    const QByteArray bytes = "varnel-cli: " + message.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace CliCommands

namespace {

void printOut(const QString& text)
{
    platform::Console::writeOut(text.toUtf8());
}

// A report that could not be written is no report: the command fails
// however well its job went.
int withOutputChecked(int code)
{
    if (platform::Console::flushOut())
        return code;
    CliCommands::complain(QStringLiteral("the report could not be written: ") + platform::Console::outputError());
    return CliExit::Environment;
}

// Points the program at the prefix the user named, by its folder or by the
// name "prefixes" lists; false, after saying why, when it is none.
bool choosePrefix(const QString& prefix)
{
    if (prefix.isEmpty())
        return true;
    const std::optional<platform::FoundPrefix> listed = platform::WinePrefixFinder::lookup(prefix);
    qputenv("WINEPREFIX", (listed ? listed->path : prefix).toLocal8Bit());
    if (!platform::WinePrefix::folder().isEmpty())
        return true;
    CliCommands::complain(QStringLiteral("\"%1\" is no Wine prefix (no system.reg there)").arg(prefix));
    return false;
}

int run(const CliOptions& options)
{
    if (!choosePrefix(options.prefix))
        return CliExit::Environment;
    if (!SettingsReadable()) {
        CliCommands::complain(QStringLiteral("the settings file %1 cannot be read").arg(SettingsFileName()));
        return CliExit::Environment;
    }
    platform::Console::catchInterrupt();
    // Walkers let messages run before each match: here that is where a
    // Ctrl+C is turned into a stop.
    platform::MessagePump::setHook([] {
        if (platform::Console::interrupted())
            TmFileScan::Stop();
    });
    const QString& c = options.command;
    if (c == u"search" || c == u"clean")
        return CliCommands::junk(options);
    if (c == u"autoruns")
        return CliCommands::autoruns(options);
    if (c == u"programs")
        return CliCommands::programs(options);
    if (c == u"prefixes")
        return CliCommands::prefixes(options);
    return CliCommands::fileTool(options);
}

} // namespace

int main(int argc, char* argv[])
{
    platform::Console::prepareStandardFiles();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varnel"));
    QString error;
    const std::optional<CliOptions> options = ParseCliOptions(QCoreApplication::arguments().mid(1), &error);
    if (!options) {
        CliCommands::complain(error);
        std::fputs(CliUsage().toUtf8().constData(), stderr);
        return CliExit::Usage;
    }
    if (options->help) {
        printOut(CliUsage());
        return withOutputChecked(CliExit::Done);
    }
    if (options->version) {
        printOut(QStringLiteral("varnel-cli " VARNEL_VERSION "\n"));
        return withOutputChecked(CliExit::Done);
    }
    return withOutputChecked(run(*options));
}
