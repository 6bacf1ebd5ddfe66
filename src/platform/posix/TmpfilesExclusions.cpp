#include "platform/TmpfilesExclusions.h"

#include "platform/RunEnvironment.h"
#include "platform/posix/UniqueFd.h"

#include <QMap>

#include <optional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>

namespace platform {

namespace {

const QList<QByteArray> kSystemFolders{"/usr/lib/tmpfiles.d", "/run/tmpfiles.d", "/etc/tmpfiles.d"};

struct Rule {
    QByteArray path;          // the whole glob
    QByteArray folder;        // up to the last "/" ("/" for a top-level entry)
    QByteArray name;          // the last component
    QByteArray folderLiteral; // the folder glob up to its first wildcard
    bool folderIsLiteral = false;
    bool crossing = false; // an unknown specifier: "*" matches across "/"
    int flags = FNM_PATHNAME;
};

struct Rules {
    std::optional<std::vector<Rule>> rules;
    quint64 generation = 0; // of the run environment the rules were read for
};

Rules& state()
{
    static Rules s;
    return s;
}

QByteArray firstLineOf(const char* path)
{
    const posix::UniqueFd fd(::open(path, O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return {};
    char buf[128];
    const ssize_t n = ::read(fd.get(), buf, sizeof buf);
    QByteArray line(buf, n > 0 ? n : 0);
    return line.left(line.indexOf('\n')).trimmed();
}

QByteArray bootId()
{
    return firstLineOf("/proc/sys/kernel/random/boot_id").replace("-", "");
}

// How much of a glob is plain text: all of it when it has no wildcard.
qsizetype literalLength(QByteArrayView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == '*' || text[i] == '?' || text[i] == '[')
            return i;
    return text.size();
}

// The path with its specifiers put in: the system's folders by their value,
// any other by "*" and the rule marked as crossing "/", so an exclusion
// only ever protects more than it says, never less.
QByteArray expanded(const QByteArray& path, bool& crossing)
{
    QByteArray out;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] != '%' || i + 1 == path.size()) {
            out.append(path[i]);
            continue;
        }
        switch (const char spec = path[++i]) {
        case '%': out.append('%'); break;
        case 'b': out.append(bootId()); break;
        case 'm': out.append(firstLineOf("/etc/machine-id")); break;
        case 'T': out.append("/tmp"); break;
        case 'V': out.append("/var/tmp"); break;
        case 't': out.append("/run"); break;
        case 'S': out.append("/var/lib"); break;
        case 'C': out.append("/var/cache"); break;
        case 'L': out.append("/var/log"); break;
        case 'E': out.append("/etc"); break;
        default:
            // %h, %u, %U, %g and the rest name what differs between users
            // and machines: anything, across folders.
            Q_UNUSED(spec);
            out.append('*');
            crossing = true;
        }
    }
    return out;
}

// The line's fields, split on blanks, with quoted fields ("…" or '…')
// taken whole and C-style escapes put in, as systemd reads them.
QList<QByteArray> fieldsOf(const QByteArray& line)
{
    QList<QByteArray> fields;
    QByteArray field;
    bool inField = false;
    char quote = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!quote && (c == ' ' || c == '\t' || c == '\r')) {
            if (inField)
                fields.append(field);
            field.clear();
            inField = false;
            continue;
        }
        inField = true;
        if ((c == '"' || c == '\'') && (!quote || quote == c)) {
            quote = quote ? 0 : c;
            continue;
        }
        if (c == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            if (e == 'x' && i + 2 < line.size()) {
                bool ok = false;
                const int v = line.mid(i + 1, 2).toInt(&ok, 16);
                if (ok) {
                    field.append(char(v));
                    i += 2;
                    continue;
                }
            }
            field.append(e == 'n' ? '\n' : e == 't' ? '\t' : e);
            continue;
        }
        field.append(c);
    }
    if (inField)
        fields.append(field);
    return fields;
}

std::optional<Rule> ruleOf(const QByteArray& line)
{
    const QList<QByteArray> fields = fieldsOf(line.trimmed());
    if (fields.size() < 2 || fields[0].isEmpty() || fields[0].startsWith('#'))
        return std::nullopt;
    const char type = fields[0][0]; // modifiers ("!", "-", ...) follow the letter
    if (type != 'x' && type != 'X')
        return std::nullopt;
    Rule r;
    r.path = expanded(fields[1], r.crossing);
    // A path that begins with a specifier is only absolute once it is put
    // in; one that begins with an unknown one may be anywhere.
    if (!r.path.startsWith('/') && !(r.crossing && r.path.startsWith('*')))
        return std::nullopt;
    while (r.path.size() > 1 && r.path.endsWith('/'))
        r.path.chop(1);
    const qsizetype slash = r.path.lastIndexOf('/');
    r.folder = slash == 0 ? QByteArray("/") : slash < 0 ? QByteArray("*") : r.path.left(slash);
    r.name = r.path.mid(slash + 1);
    r.folderLiteral = r.folder.left(literalLength(r.folder));
    r.folderIsLiteral = r.folderLiteral.size() == r.folder.size();
    r.flags = r.crossing ? 0 : FNM_PATHNAME;
    return r;
}

// The *.conf files of the folders, a later folder's file replacing an
// earlier one of the same name, in name order.
QMap<QByteArray, QByteArray> configFiles(const QList<QByteArray>& folders)
{
    QMap<QByteArray, QByteArray> files;
    for (const QByteArray& folder : folders) {
        DIR* dir = ::opendir(folder.constData());
        if (!dir)
            continue;
        while (const dirent* e = ::readdir(dir)) {
            const QByteArray name(e->d_name);
            if (name.endsWith(".conf"))
                files.insert(name, folder + "/" + name);
        }
        ::closedir(dir);
    }
    return files;
}

QByteArray readText(const QByteArray& path)
{
    const posix::UniqueFd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        return {};
    QByteArray text;
    char buf[8192];
    for (ssize_t n; (n = ::read(fd.get(), buf, sizeof buf)) > 0;)
        text.append(buf, n);
    return text;
}

const std::vector<Rule>& rules()
{
    Rules& s = state();
    if (!s.rules || s.generation != RunEnvironment::generation()) {
        s.rules.emplace();
        s.generation = RunEnvironment::generation();
        const QList<QByteArray>& given = RunEnvironment::current().tmpfilesFolders;
        for (const QByteArray& file : configFiles(given.isEmpty() ? kSystemFolders : given))
            for (const QByteArray& line : readText(file).split('\n'))
                if (std::optional<Rule> r = ruleOf(line))
                    s.rules->push_back(*r);
    }
    return *s.rules;
}

// Asked for every folder a walk reads: most are told apart by their
// beginning, without a copy or a glob match.
bool folderMatches(const Rule& r, QByteArrayView folder)
{
    if (r.folderIsLiteral)
        return folder == QByteArrayView(r.folder);
    if (!folder.startsWith(r.folderLiteral))
        return false;
    return ::fnmatch(r.folder.constData(), folder.toByteArray().constData(), r.flags) == 0;
}

} // namespace

bool TmpfilesExclusions::excludes(QByteArrayView hostPath)
{
    const QByteArray path = hostPath.toByteArray();
    for (const Rule& r : rules())
        if (::fnmatch(r.path.constData(), path.constData(), r.flags | FNM_LEADING_DIR) == 0)
            return true;
    return false;
}

QList<QByteArray> TmpfilesExclusions::namePatternsIn(QByteArrayView hostFolder)
{
    QList<QByteArray> names;
    for (const Rule& r : rules())
        if (folderMatches(r, hostFolder))
            names.append(r.name);
    return names;
}

} // namespace platform
