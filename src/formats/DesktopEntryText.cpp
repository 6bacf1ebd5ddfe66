#include "formats/DesktopEntryText.h"

namespace formats {

namespace {

QString unescapedString(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            out.append(c);
            continue;
        }
        switch (raw[++i].unicode()) {
        case 's': out.append(u' '); break;
        case 'n': out.append(u'\n'); break;
        case 't': out.append(u'\t'); break;
        case 'r': out.append(u'\r'); break;
        case '\\': out.append(u'\\'); break;
        default: out.append(u'\\').append(raw[i]); break;
        }
    }
    return out;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// True for NAME=value with a shell variable name.
bool isAssignment(const QString& arg)
{
    const qsizetype eq = arg.indexOf(u'=');
    if (eq <= 0)
        return false;
    for (qsizetype i = 0; i < eq; ++i) {
        const QChar c = arg[i];
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'_')
            return false;
    }
    return !arg[0].isDigit();
}

} // namespace

QString DesktopEntryText::value(const QByteArray& text, const QByteArray& key)
{
    bool inEntry = false;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry || line.startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == key)
            return unescapedString(QString::fromUtf8(line.mid(eq + 1).trimmed()));
    }
    return {};
}

QStringList DesktopEntryText::arguments(const QString& exec)
{
    QStringList out;
    QString current;
    bool inWord = false, quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (c == u'\\' && i + 1 < exec.size() && QStringView(u"\"`$\\").contains(exec[i + 1]))
                current.append(exec[++i]);
            else
                current.append(c);
        } else if (isBlank(c)) {
            if (inWord)
                out.append(current);
            current.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == u'"')
                quoted = true;
            else
                current.append(c);
        }
    }
    if (inWord)
        out.append(current);
    return out;
}

QString DesktopEntryText::normalFolder(const QString& path)
{
    if (!path.startsWith(u'/'))
        return {};
    QStringList parts;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"." || part == u"..")
            return {};
        parts.append(part);
    }
    return u'/' + parts.join(u'/');
}

DesktopEntryText::Prefix DesktopEntryText::prefixOf(const QString& exec)
{
    const QStringList args = arguments(exec);
    qsizetype i = 0;
    if (!args.isEmpty() && (args[0] == u"env" || args[0].endsWith(u"/env")))
        ++i;
    for (; i < args.size() && isAssignment(args[i]); ++i)
        if (args[i].startsWith(u"WINEPREFIX=")) {
            const QString folder = normalFolder(args[i].mid(11));
            return {folder.isEmpty() ? PrefixKind::Unknown : PrefixKind::Named, folder};
        }
    const qsizetype unix = args.indexOf(QStringLiteral("/Unix"));
    if (unix >= 0 && unix + 1 < args.size()) {
        const QString& target = args[unix + 1];
        const qsizetype at = target.indexOf(QStringLiteral("/dosdevices/"));
        if (at >= 0) {
            const QString folder = normalFolder(target.left(at));
            return {folder.isEmpty() ? PrefixKind::Unknown : PrefixKind::Named, folder};
        }
    }
    return {PrefixKind::Default, {}};
}

} // namespace formats
