#include "platform/IniDocument.h"

#include "platform/NameOrder.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c.isSpace() || c.unicode() == 0x1A; // Ctrl-Z ends old DOS files
}

QString trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

QString stripQuotes(const QString& v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

QString oneLine(QString s)
{
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
}

} // namespace

IniDocument::Line IniDocument::parseLine(const QString& text)
{
    Line line;
    line.text = text;
    const QString t = trimmed(text);
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimmed(QStringView(t).mid(1, close - 1));
            return line;
        }
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq >= 0) {
        line.kind = Kind::Key;
        line.name = trimmed(QStringView(t).left(eq));
        line.value = trimmed(QStringView(t).mid(eq + 1));
    }
    return line;
}

IniDocument IniDocument::parse(const QByteArray& raw)
{
    IniDocument doc;
    QString text;
    if (raw.startsWith("\xEF\xBB\xBF")) {
        doc.encoding_ = Encoding::Utf8Bom;
        text = QString::fromUtf8(raw.mid(3));
    } else if (raw.startsWith("\xFF\xFE")) {
        doc.encoding_ = Encoding::Utf16LE;
        text = QStringDecoder(QStringDecoder::Utf16LE).decode(raw.mid(2));
    } else if (raw.startsWith("\xFE\xFF")) {
        doc.encoding_ = Encoding::Utf16BE;
        text = QStringDecoder(QStringDecoder::Utf16BE).decode(raw.mid(2));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(raw);
        if (utf8.hasError()) {
            QStringDecoder legacy("windows-1251");
            text = legacy.isValid() ? QString(legacy.decode(raw)) : QString::fromLatin1(raw);
        }
    }
    const qsizetype firstBreak = text.indexOf(u'\n');
    if (firstBreak > 0 && text.at(firstBreak - 1) == u'\r')
        doc.lineEnd_ = QStringLiteral("\r\n");
    QStringList rows = text.split(u'\n');
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast(); // the break that ends the last line
    for (QString& row : rows) {
        if (row.endsWith(u'\r'))
            row.chop(1);
        doc.lines_.append(parseLine(row));
    }
    return doc;
}

QByteArray IniDocument::serialize() const
{
    QString text;
    for (const Line& line : lines_)
        text += line.text + lineEnd_;
    switch (encoding_) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Utf16LE:
        return "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(text));
    case Encoding::Utf16BE:
        return "\xFE\xFF" + QByteArray(QStringEncoder(QStringEncoder::Utf16BE).encode(text));
    }
    return {};
}

qsizetype IniDocument::findSection(const QString& section, qsizetype from) const
{
    const QString wanted = trimmed(section);
    for (qsizetype i = from; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && NameOrder::equalIgnoringCase(lines_[i].name, wanted))
            return i;
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const QString wanted = trimmed(key);
    for (qsizetype i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (lines_[i].kind == Kind::Key && NameOrder::equalIgnoringCase(lines_[i].name, wanted))
            return stripQuotes(lines_[i].value);
    return std::nullopt;
}

bool IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = trimmed(oneLine(section));
    const QString keyName = trimmed(oneLine(key));
    const QString text = oneLine(value);
    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        lines_.append(parseLine(u'[' + sectionName + u']'));
        lines_.append(parseLine(keyName + u'=' + text));
        return true;
    }
    const qsizetype end = sectionEnd(header);
    qsizetype lastEntry = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind == Kind::Key && NameOrder::equalIgnoringCase(line.name, keyName)) {
            if (line.value == trimmed(text))
                return false;
            line = parseLine(line.name + u'=' + text);
            return true;
        }
        if (!trimmed(line.text).isEmpty())
            lastEntry = i;
    }
    lines_.insert(lastEntry + 1, parseLine(keyName + u'=' + text));
    return true;
}

bool IniDocument::removeSection(const QString& section)
{
    bool removed = false;
    for (qsizetype header = findSection(section); header >= 0; header = findSection(section, header)) {
        lines_.remove(header, sectionEnd(header) - header);
        removed = true;
    }
    return removed;
}

} // namespace platform
