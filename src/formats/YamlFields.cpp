#include "formats/YamlFields.h"

#include <QStringList>

namespace formats {

namespace {

qsizetype indentOf(const QString& line)
{
    qsizetype n = 0;
    while (n < line.size() && line[n] == u' ')
        ++n;
    return n;
}

QString unquoted(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && v.startsWith(u'\'') && v.endsWith(u'\''))
        return v.mid(1, v.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) {
        QString out;
        for (qsizetype i = 1; i + 1 < v.size(); ++i) {
            QChar c = v[i];
            if (c == u'\\' && i + 2 < v.size()) {
                c = v[++i];
                c = c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c;
            }
            out.append(c);
        }
        return out;
    }
    if (const qsizetype hash = v.indexOf(QStringLiteral(" #")); hash >= 0)
        v.truncate(hash);
    return v.trimmed();
}

} // namespace

QString YamlFields::value(const QByteArray& text, const QString& section, const QString& key)
{
    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    bool inSection = section.isEmpty();
    qsizetype sectionIndent = -1; // the indentation of the section's keys
    const QString keyColon = key + u':';
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString body = line.trimmed();
        if (body.isEmpty() || body.startsWith(u'#'))
            continue;
        const qsizetype indent = indentOf(line);
        if (indent == 0 && !section.isEmpty()) {
            inSection = body == section + u':';
            sectionIndent = -1;
            continue;
        }
        if (!inSection)
            continue;
        if (section.isEmpty() && indent != 0)
            continue;
        if (!section.isEmpty()) {
            if (sectionIndent < 0)
                sectionIndent = indent;
            if (indent != sectionIndent)
                continue;
        }
        if (body.startsWith(keyColon) && (body.size() == keyColon.size() || body[keyColon.size()] == u' '))
            return unquoted(body.mid(keyColon.size()));
    }
    return {};
}

} // namespace formats
