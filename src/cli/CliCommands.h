#pragma once
// The command line's commands. Each drives the same core the window does
// (the junk search, the file tools' walkers and judgements, the deletion,
// the registry lists) and returns the program's exit code.

#include "cli/CliOptions.h"

#include <QString>

namespace CliExit {
inline constexpr int Done = 0;
inline constexpr int SomeFailed = 1;
inline constexpr int Usage = 2;
inline constexpr int NotConfirmed = 3;
inline constexpr int Environment = 4;
inline constexpr int Interrupted = 130; // what shells report after Ctrl+C
} // namespace CliExit

namespace CliCommands {

// search and clean: the junk search over the settings' drives and masks.
int junk(const CliOptions& options);

// empty-dirs, zero-files and broken-links: the file tools on one drive (the
// first fixed drive unless --drive says otherwise; broken-links walks every
// fixed drive by default).
int fileTool(const CliOptions& options);

// autoruns and programs: the registry's lists.
int autoruns(const CliOptions& options);
int programs(const CliOptions& options);

// prefixes: the Wine prefixes found for this user, with their sizes.
int prefixes(const CliOptions& options);

// wine-leftovers: what Steam, Proton and Wine left behind (--kind narrows
// it); --delete --yes disposes of the rows chosen by default, or every row
// with --all, to the trash unless --permanent.
int wineLeftovers(const CliOptions& options);

// Prints "varnel-cli: message" on standard error.
void complain(const QString& message);

// Says that drive ("x:") is no fixed drive, naming the ones there are.
void complainNoSuchDrive(const QString& drive);

} // namespace CliCommands
