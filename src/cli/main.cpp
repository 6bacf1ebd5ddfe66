// varnel-cli: the cleaner's jobs for scripts, ssh sessions and cron, on the
// same core as the window. Qt Core only: it starts without a display.

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "core/Context.h"
#include "platform/Console.h"
#include "platform/DriveTable.h"
#include "platform/MessagePump.h"
#include "platform/WinePrefixFinder.h"
#include "scan/TmFileScan.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <iterator>

#ifndef VARNEL_VERSION
#define VARNEL_VERSION "unknown"
#endif

namespace CliCommands {

void complain(const QString& message)
{
    const QByteArray bytes = "varnel-cli: " + message.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void complainNoSuchDrive(const QString& drive)
{
    QStringList letters;
    for (const platform::FixedDrive& d : platform::DriveTable::fixedDrives())
        letters.append(QString(d.letter) + u':');
    complain(QStringLiteral("%1 is no fixed drive (the fixed drives are %2)")
                 .arg(drive, letters.isEmpty() ? QStringLiteral("none") : letters.join(QStringLiteral(", "))));
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

// Makes the run's environment the one the program was started in, or the
// one prefix the user named: a path (it begins with "/" or "~") by its
// folder alone, anything else by the name "prefixes" lists. Returns the
// exit code to end with, or nothing to go on.
std::optional<int> chooseEnvironment(const std::optional<QString>& prefix)
{
    if (!prefix) {
        core::Context::fromProcess().install();
        return std::nullopt;
    }
    QString folder;
    if (prefix->startsWith(u'/') || prefix->startsWith(u'~')) {
        folder = platform::WinePrefixFinder::prefixAt(*prefix);
    } else {
        const QList<platform::FoundPrefix> matches =
            platform::WinePrefixFinder::matchesIn(platform::WinePrefixFinder::find(), *prefix);
        if (matches.size() > 1) {
            QStringList folders;
            for (const platform::FoundPrefix& p : matches)
                folders.append(QStringLiteral("  ") + p.path);
            CliCommands::complain(QStringLiteral("\"%1\" names %2 prefixes; give one by its folder:\n%3")
                                      .arg(*prefix)
                                      .arg(matches.size())
                                      .arg(folders.join(u'\n')));
            return CliExit::Usage;
        }
        if (!matches.isEmpty())
            folder = matches.first().path;
    }
    std::optional<core::Context> chosen = core::Context::forPrefix(folder.toLocal8Bit());
    if (!chosen) {
        CliCommands::complain(QStringLiteral("\"%1\" is no Wine prefix (no system.reg there)").arg(*prefix));
        return CliExit::Environment;
    }
    chosen->install();
    if (platform::Console::errorIsTerminal())
        CliCommands::complain(QStringLiteral("prefix ") + QString::fromLocal8Bit(chosen->prefixFolder()));
    return std::nullopt;
}

// Each command's name, what runs it and whether it deletes on the drives
// (clean always, the file tools with --delete); its flags are CliOptions'.
struct Command {
    QStringView name;
    int (*run)(const CliOptions&);
    enum { Lists, DeletesOnDrives, DeletesWhenAsked } drives = Lists;
};

constexpr Command commands[] = {
    {u"search", CliCommands::junk},
    {u"clean", CliCommands::junk, Command::DeletesOnDrives},
    {u"empty-dirs", CliCommands::fileTool, Command::DeletesWhenAsked},
    {u"zero-files", CliCommands::fileTool, Command::DeletesWhenAsked},
    {u"broken-links", CliCommands::fileTool, Command::DeletesWhenAsked},
    {u"autoruns", CliCommands::autoruns},
    {u"programs", CliCommands::programs},
    {u"prefixes", CliCommands::prefixes},
    {u"wine-leftovers", CliCommands::wineLeftovers},
};

// True when the command deletes files on the drives (not a registry value,
// not the user's own leftovers).
bool deletesFiles(const Command& command, const CliOptions& o)
{
    if (command.drives == Command::Lists || !o.yes)
        return false;
    return command.drives == Command::DeletesOnDrives || o.remove;
}

// As root, the default drives are the whole machine: a deleting command
// over them goes ahead only when the user said so.
bool refusedForTheSuperuser(const Command& command, const CliOptions& o)
{
    if (!deletesFiles(command, o) || !o.drive.isEmpty() || o.allDrives || !platform::DriveTable::reachesWholeSystem())
        return false;
    CliCommands::complain(QStringLiteral(
        "refusing to delete as root over the default drives: c: is / and every local disk is a drive of its own, "
        "so this would reach the whole system. Nothing was deleted.\n"
        "Name what to clean with --drive X: or VARNEL_DRIVES='c=/some/folder', or add --all-drives to accept the "
        "whole system knowingly."));
    return true;
}

int run(const CliOptions& options)
{
    if (const std::optional<int> failed = chooseEnvironment(options.prefix))
        return *failed;
    const auto command = std::find_if(std::begin(commands), std::end(commands),
                                      [&options](const Command& c) { return options.command == c.name; });
    if (command == std::end(commands))
        return CliExit::Usage; // the parser knows no command that is not here
    if (refusedForTheSuperuser(*command, options))
        return CliExit::Usage;
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
    return command->run(options);
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
