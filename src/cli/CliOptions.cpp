#include "cli/CliOptions.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// Which options each command takes besides --prefix and --json.
const QHash<QString, QStringList>& commandOptions()
{
    static const QHash<QString, QStringList> options{
        {QStringLiteral("search"), {}},
        {QStringLiteral("clean"), {"--dry-run", "--yes", "--trash", "--permanent", "--drive", "--all-drives"}},
        {QStringLiteral("empty-dirs"), {"--drive", "--all-drives", "--delete", "--yes"}},
        {QStringLiteral("zero-files"), {"--drive", "--all-drives", "--delete", "--yes"}},
        {QStringLiteral("broken-links"), {"--drive", "--all-drives", "--delete", "--yes"}},
        {QStringLiteral("autoruns"), {"--delete", "--root", "--yes"}},
        {QStringLiteral("programs"), {}},
        {QStringLiteral("prefixes"), {}},
        {QStringLiteral("wine-leftovers"), {"--kind", "--delete", "--all", "--yes", "--trash", "--permanent"}},
    };
    return options;
}

bool takesValue(const QString& option, const QString& command)
{
    return option == u"--prefix" || option == u"--drive" || option == u"--root" || option == u"--kind"
        || (option == u"--delete" && command == u"autoruns");
}

bool setValue(CliOptions& o, const QString& option, const QString& value, QString* error)
{
    if (option == u"--prefix") {
        // An unset variable in a script must not turn into "the host".
        if (value.trimmed().isEmpty()) {
            *error = QStringLiteral("--prefix wants a prefix folder or name, not an empty text");
            return false;
        }
        o.prefix = value;
    } else if (option == u"--drive") {
        static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:?$"));
        if (!drive.match(value).hasMatch()) {
            *error = QStringLiteral("--drive wants a drive letter such as c:, not \"%1\"").arg(value);
            return false;
        }
        o.drive = value.left(1).toLower() + u':';
    } else if (option == u"--root") {
        const QString root = value.toUpper();
        if (root != u"HKCU" && root != u"HKLM" && root != u"HKU") {
            *error = QStringLiteral("--root wants HKCU, HKLM or HKU, not \"%1\"").arg(value);
            return false;
        }
        o.root = root;
    } else if (option == u"--kind") {
        static const QStringList kinds{"proton-prefix", "shader-cache", "menu", "cache"};
        if (!kinds.contains(value)) {
            *error = QStringLiteral("--kind wants one of %1, not \"%2\"").arg(kinds.join(u", "), value);
            return false;
        }
        o.kind = value;
    } else {
        o.autorunName = value;
        o.remove = true;
    }
    return true;
}

void setFlag(CliOptions& o, const QString& option)
{
    if (option == u"--json")
        o.json = true;
    else if (option == u"--yes")
        o.yes = true;
    else if (option == u"--dry-run")
        o.dryRun = true;
    else if (option == u"--delete")
        o.remove = true;
    else if (option == u"--all")
        o.all = true;
    else if (option == u"--all-drives")
        o.allDrives = true;
    else if (option == u"--trash" || option == u"--permanent") {
        const bool trash = option == u"--trash";
        o.trashAndPermanent = o.trashAndPermanent || (o.trash && *o.trash != trash);
        o.trash = trash;
    }
}

bool checkCombination(const CliOptions& o, QString* error)
{
    if (o.command.isEmpty()) {
        *error = QStringLiteral("no command given");
        return false;
    }
    if (o.command == u"autoruns" && o.remove && o.root.isEmpty()) {
        *error = QStringLiteral("autoruns --delete NAME needs --root HKCU, HKLM or HKU");
        return false;
    }
    if (o.command == u"autoruns" && !o.root.isEmpty() && !o.remove) {
        *error = QStringLiteral("--root is only taken with --delete NAME");
        return false;
    }
    if (o.all && !o.remove) {
        *error = QStringLiteral("--all is only taken with --delete");
        return false;
    }
    if (o.allDrives && !o.drive.isEmpty()) {
        *error = QStringLiteral("--drive and --all-drives contradict each other");
        return false;
    }
    if (o.dryRun && o.yes) {
        *error = QStringLiteral("--dry-run and --yes contradict each other");
        return false;
    }
    if (o.trashAndPermanent) {
        *error = QStringLiteral("--trash and --permanent contradict each other");
        return false;
    }
    return true;
}

} // namespace

std::optional<CliOptions> ParseCliOptions(const QStringList& args, QString* error)
{
    CliOptions o;
    QStringList pending; // options met before the command, checked once it is known
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        bool hasValue = false;
        if (arg.startsWith(u"--") && arg.contains(u'=')) {
            value = arg.mid(arg.indexOf(u'=') + 1);
            arg = arg.left(arg.indexOf(u'='));
            hasValue = true;
        }
        if (arg == u"--help" || arg == u"-h") {
            o.help = true;
            continue;
        }
        if (arg == u"--version") {
            o.version = true;
            continue;
        }
        if (!arg.startsWith(u'-')) {
            if (!o.command.isEmpty() || !commandOptions().contains(arg)) {
                *error = o.command.isEmpty() ? QStringLiteral("unknown command \"%1\"").arg(arg)
                                             : QStringLiteral("unexpected argument \"%1\"").arg(arg);
                return std::nullopt;
            }
            o.command = arg;
            for (const QString& early : std::as_const(pending))
                if (early != u"--prefix" && early != u"--json" && !commandOptions()[o.command].contains(early)) {
                    *error = QStringLiteral("%1 does not take %2").arg(o.command, early);
                    return std::nullopt;
                }
            continue;
        }
        const bool global = arg == u"--prefix" || arg == u"--json";
        const bool known = global
            || std::any_of(commandOptions().begin(), commandOptions().end(),
                           [&](const QStringList& list) { return list.contains(arg); });
        if (!known) {
            *error = QStringLiteral("unknown option \"%1\"").arg(arg);
            return std::nullopt;
        }
        if (!global && !o.command.isEmpty() && !commandOptions()[o.command].contains(arg)) {
            *error = QStringLiteral("%1 does not take %2").arg(o.command, arg);
            return std::nullopt;
        }
        if (o.command.isEmpty())
            pending.append(arg);
        if (takesValue(arg, o.command)) {
            if (!hasValue) {
                if (i + 1 >= args.size()) {
                    *error = QStringLiteral("%1 needs a value").arg(arg);
                    return std::nullopt;
                }
                value = args[++i];
            }
            if (!setValue(o, arg, value, error))
                return std::nullopt;
        } else if (hasValue) {
            *error = QStringLiteral("%1 takes no value").arg(arg);
            return std::nullopt;
        } else {
            setFlag(o, arg);
        }
    }
    if (o.help || o.version)
        return o;
    if (!checkCombination(o, error))
        return std::nullopt;
    return o;
}

QString CliUsage()
{
    return QStringLiteral("usage: varnel-cli [--prefix DIR|NAME] [--json] COMMAND [OPTIONS]\n"
                          "\n"
                          "commands:\n"
                          "  search                 the junk search as the settings describe it\n"
                          "  clean [--dry-run] [--yes] [--trash|--permanent] [--drive X:|--all-drives]\n"
                          "                         search, then delete every unprotected entry\n"
                          "  empty-dirs [--drive X:|--all-drives] [--delete --yes]\n"
                          "  zero-files [--drive X:|--all-drives] [--delete --yes]\n"
                          "  broken-links [--drive X:|--all-drives] [--delete --yes]\n"
                          "  autoruns [--delete NAME --root HKCU|HKLM|HKU --yes]\n"
                          "  programs               the installed programs (both registry views)\n"
                          "  prefixes               the Wine prefixes found for this user\n"
                          "  wine-leftovers [--kind proton-prefix|shader-cache|menu|cache]\n"
                          "                 [--delete [--all] --yes] [--trash|--permanent]\n"
                          "                         what Steam, Proton and Wine left of games and\n"
                          "                         prefixes that are gone; --delete takes the rows\n"
                          "                         chosen by default (--all: every row) to the trash\n"
                          "\n"
                          "Nothing is deleted without --yes; without it a deleting command only\n"
                          "says what it would do and exits with 3. As root on the host, a deleting\n"
                          "command needs --drive X:, VARNEL_DRIVES or --all-drives: the default\n"
                          "drives are the whole system.\n"
                          "Exit codes: 0 done, 1 some entries failed, 2 bad usage, 3 deletion not\n"
                          "confirmed, 4 environment error, 130 interrupted.\n");
}
