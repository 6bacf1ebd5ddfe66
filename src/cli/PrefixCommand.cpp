// prefixes: the Wine prefixes the window's "Префикс Wine" menu offers, with
// their size, for scripts.

#include "cli/CliCommands.h"
#include "cli/CliReport.h"
#include "platform/WinePrefixFinder.h"

#include <QJsonObject>

namespace CliCommands {

int prefixes(const CliOptions& options)
{
    QList<platform::FoundPrefix> found = platform::WinePrefixFinder::find();
    platform::WinePrefixFinder::measure(found);
    CliReport report(options.command, options.json);
    for (const platform::FoundPrefix& prefix : found)
        report.entry({{QStringLiteral("name"), prefix.name},
                      {QStringLiteral("path"), prefix.path},
                      {QStringLiteral("source"), prefix.source},
                      {QStringLiteral("arch"), prefix.arch},
                      {QStringLiteral("size"), double(prefix.sizeOnDisk)},
                      {QStringLiteral("running"), prefix.serverRunning}},
                     QStringList{prefix.name, prefix.path, prefix.source, prefix.arch, QString::number(prefix.sizeOnDisk)}
                         + (prefix.serverRunning ? QStringList{QStringLiteral("running")} : QStringList()));
    report.finish(false);
    return CliExit::Done;
}

} // namespace CliCommands
