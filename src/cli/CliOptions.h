#pragma once
// What the command line asked for. Parsing checks only the form of the
// arguments; whether the prefix, drive or root exists is the commands' to
// find out.

#include <QString>
#include <QStringList>
#include <optional>

struct CliOptions {
    QString command; // search, clean, empty-dirs, zero-files, broken-links, autoruns, programs, prefixes, wine-leftovers
    std::optional<QString> prefix; // --prefix: a folder or a listed prefix's name, never empty
    bool json = false;
    bool help = false;
    bool version = false;
    bool yes = false;
    bool dryRun = false;
    bool remove = false;       // --delete of the file tools
    std::optional<bool> trash; // --trash (true) or --permanent (false)
    bool trashAndPermanent = false; // both were given: a usage error
    QString drive;             // --drive X:, lower case "x:"
    bool allDrives = false;    // --all-drives: root's knowing yes to the whole system
    QString autorunName;       // autoruns --delete NAME
    QString root;              // autoruns --root HKCU|HKLM|HKU
    QString kind;              // wine-leftovers --kind
    bool all = false;          // wine-leftovers --delete --all: not only the rows chosen by default
};

// Parses the arguments after the program's name. nullopt, with a message
// for standard error in error, when they are malformed: an unknown command
// or option, a missing or bad value, an option the command does not take.
std::optional<CliOptions> ParseCliOptions(const QStringList& args, QString* error);

// The usage text that --help prints and a usage error follows.
QString CliUsage();
