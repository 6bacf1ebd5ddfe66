#include "formats/IniDocument.h"

#include "formats/LineDecoder.h"
#include "formats/NameOrder.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace formats {

namespace {

// White space in the file: what the C library's isspace() takes, and the
// Ctrl-Z that ends old DOS files.
bool isWhite(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r') || u == 0x1A;
}

QString trimWhite(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isWhite(s[b]))
        ++b;
    while (e > b && isWhite(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

QString fold(QStringView name)
{
    QString folded(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i)
        folded[i] = QChar(NameOrder::fold(name[i]));
    return folded;
}

// Adds name -> at unless name is there already: the first line of a name wins.
void addFirst(QHash<QString, qsizetype>& index, const QString& name, qsizetype at)
{
    if (!index.contains(name))
        index.insert(name, at);
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

// The code unit at byte offset at, or -1 when only part of one is left.
int unitAt(QByteArrayView raw, qsizetype at, int width, bool bigEndian)
{
    if (at + width > raw.size())
        return -1;
    if (width == 1)
        return uchar(raw[at]);
    return bigEndian ? (uchar(raw[at]) << 8) | uchar(raw[at + 1]) : uchar(raw[at]) | (uchar(raw[at + 1]) << 8);
}

} // namespace

QString IniDocument::trimBlanks(QStringView name)
{
    qsizetype b = 0, e = name.size();
    while (b < e && name[b] == u' ')
        ++b;
    while (e > b && name[e - 1] == u' ')
        --e;
    return name.mid(b, e - b).toString();
}

IniDocument::IniDocument()
    : eol_("\r\n")
{
    blocks_.append(Block());
}

IniDocument::Line IniDocument::parseLine(const QString& text)
{
    Line line;
    const QString t = trimWhite(text);
    if (t.isEmpty()) {
        line.kind = Kind::Blank;
    } else if (t.front() == u';') {
        line.kind = Kind::Comment;
    } else if (t.front() == u'[') {
        // A header without its ']' still opens the section, as on Windows.
        const qsizetype close = t.indexOf(u']', 1);
        const QStringView inner = QStringView(t).mid(1, close < 0 ? -1 : close - 1);
        line.kind = Kind::Section;
        line.name = trimBlanks(inner);
        line.loose = trimWhite(inner);
    } else if (const qsizetype eq = text.indexOf(u'='); eq >= 0) {
        const QStringView name = QStringView(text).left(eq);
        line.kind = Kind::Key;
        line.name = trimBlanks(name);
        line.loose = trimWhite(name);
        line.value = trimWhite(QStringView(text).mid(eq + 1));
    }
    return line;
}

QByteArray IniDocument::encode(const QString& text) const
{
    switch (encoding_) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf16LE:
        return QStringEncoder(QStringEncoder::Utf16LE, QStringConverter::Flag::Stateless).encode(text);
    case Encoding::Utf16BE:
        return QStringEncoder(QStringEncoder::Utf16BE, QStringConverter::Flag::Stateless).encode(text);
    }
    return {};
}

QString IniDocument::decodeLine(QByteArrayView raw, bool lastInFile) const
{
    if (encoding_ == Encoding::Utf8)
        return LineDecoder::decode(raw, lastInFile);
    // The mark was taken off when the file was read; one at the start of a
    // line is text. An odd byte left at the end reads as nothing.
    QStringDecoder utf16(encoding_ == Encoding::Utf16BE ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE,
                         QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return utf16.decode(raw);
}

IniDocument::Line IniDocument::makeLine(const QString& text) const
{
    Line line = parseLine(text);
    line.raw = encode(text);
    line.eol = eol_;
    return line;
}

IniDocument IniDocument::parse(const QByteArray& raw)
{
    IniDocument doc;
    QByteArrayView body(raw);
    if (raw.startsWith("\xFF\xFE"))
        doc.encoding_ = Encoding::Utf16LE;
    else if (raw.startsWith("\xFE\xFF"))
        doc.encoding_ = Encoding::Utf16BE;
    else if (raw.startsWith("\xEF\xBB\xBF"))
        doc.bom_ = raw.left(3);
    if (doc.encoding_ != Encoding::Utf8)
        doc.bom_ = raw.left(2);
    body = body.sliced(doc.bom_.size());
    doc.eol_.clear();

    const int width = doc.encoding_ == Encoding::Utf8 ? 1 : 2;
    const bool bigEndian = doc.encoding_ == Encoding::Utf16BE;
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype end = start, eolSize = 0;
        for (int u; (u = unitAt(body, end, width, bigEndian)) >= 0; end += width) {
            if (u == '\n' || u == '\r') {
                eolSize = width;
                if (u == '\r' && unitAt(body, end + width, width, bigEndian) == '\n')
                    eolSize += width;
                break;
            }
        }
        if (eolSize == 0)
            end = body.size(); // an odd byte left in a UTF-16 file stays with the last line
        const QByteArrayView bytes = body.sliced(start, end - start);
        const QString text = doc.decodeLine(bytes, eolSize == 0);
        Line line = parseLine(text);
        line.raw = bytes.toByteArray();
        line.eol = body.sliced(end, eolSize).toByteArray();
        if (doc.eol_.isEmpty())
            doc.eol_ = line.eol;
        if (line.kind == Kind::Section)
            doc.blocks_.append(Block());
        doc.blocks_.last().lines.append(std::move(line));
        start = end + eolSize;
    }
    if (doc.eol_.isEmpty())
        doc.eol_ = doc.encode(QStringLiteral("\r\n"));
    for (Block& block : doc.blocks_)
        doc.indexKeys(block);
    doc.indexSections();
    return doc;
}

QByteArray IniDocument::serialize() const
{
    qsizetype size = bom_.size();
    for (const Block& block : blocks_)
        for (const Line& line : block.lines)
            size += line.raw.size() + line.eol.size();
    QByteArray out;
    out.reserve(size);
    out += bom_;
    for (const Block& block : blocks_)
        for (const Line& line : block.lines)
            out += line.raw + line.eol;
    return out;
}

void IniDocument::indexKeys(Block& block) const
{
    block.keys.clear();
    for (qsizetype i = 0; i < block.lines.size(); ++i) {
        const Line& line = block.lines[i];
        if (line.kind != Kind::Key)
            continue;
        // The first line of a name wins, as in the profile functions.
        addFirst(block.keys, fold(line.name), i);
        addFirst(block.keys, fold(line.loose), i);
    }
}

void IniDocument::indexSections()
{
    sections_.clear();
    for (qsizetype b = 1; b < blocks_.size(); ++b) {
        const Line& header = blocks_[b].lines.first();
        addFirst(sections_, fold(header.name), b);
        addFirst(sections_, fold(header.loose), b);
    }
}

qsizetype IniDocument::findBlock(const QString& section) const
{
    return sections_.value(fold(trimBlanks(section)), -1);
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const qsizetype b = findBlock(section);
    if (b < 0)
        return std::nullopt;
    const Block& block = blocks_[b];
    const auto it = block.keys.constFind(fold(trimBlanks(key)));
    if (it == block.keys.cend())
        return std::nullopt;
    return stripQuotes(block.lines[*it].value);
}

void IniDocument::endLastLine()
{
    for (qsizetype b = blocks_.size() - 1; b >= 0; --b) {
        if (!blocks_[b].lines.isEmpty()) {
            Line& last = blocks_[b].lines.last();
            if (!last.eol.isEmpty())
                return;
            // The line was read as the file's last: a UTF-8 sequence cut by
            // the end of the file, or an odd byte of a UTF-16 file, reads
            // otherwise once a line follows, or misaligns every later line.
            // It is written as it was read.
            const QString asRead = decodeLine(last.raw, true);
            if (last.raw.size() % (encoding_ == Encoding::Utf8 ? 1 : 2) != 0 || decodeLine(last.raw, false) != asRead)
                last.raw = encode(asRead);
            last.eol = eol_;
            return;
        }
    }
}

IniDocument::Edit IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = trimBlanks(oneLine(section));
    const QString keyName = trimBlanks(oneLine(key));
    const QString text = oneLine(value);
    Line entry = makeLine(keyName + u'=' + text);
    const bool comment = entry.kind == Kind::Comment;
    if (!comment && (entry.kind != Kind::Key || entry.name != keyName))
        return Edit::Refused;

    const qsizetype b = findBlock(sectionName);
    if (b < 0) {
        Line header = makeLine(u'[' + sectionName + u']');
        if (header.kind != Kind::Section || header.name != sectionName)
            return Edit::Refused;
        endLastLine();
        Block block;
        block.lines = {std::move(header), std::move(entry)};
        indexKeys(block);
        blocks_.append(std::move(block));
        indexSections();
        return Edit::Changed;
    }

    Block& block = blocks_[b];
    if (!comment) {
        if (const auto it = block.keys.constFind(fold(keyName)); it != block.keys.cend()) {
            Line& line = block.lines[*it];
            if (line.value == entry.value)
                return Edit::Unchanged;
            // The file's spelling of the name stays, so the line is found
            // again by whatever matched it.
            // A file's last line without its line end gets one: a line that
            // is written is written whole.
            Line changed = makeLine(line.name + u'=' + text);
            if (!line.eol.isEmpty())
                changed.eol = line.eol;
            line = std::move(changed);
            return Edit::Changed;
        }
    }
    // Right after the section's last key (after its header when it has
    // none): the comments and blank lines that end the section stay after
    // it. A key named like a comment goes there too, ahead of those.
    qsizetype at = block.lines.size();
    while (at > 1 && block.lines[at - 1].kind != Kind::Key)
        --at;
    // Only the file's last line can lack its line end.
    if (at == block.lines.size() && b == blocks_.size() - 1)
        endLastLine();
    block.lines.insert(at, std::move(entry));
    // No key line follows the new one, so no indexed line moved.
    if (!comment) {
        addFirst(block.keys, fold(block.lines[at].name), at);
        addFirst(block.keys, fold(block.lines[at].loose), at);
    }
    return Edit::Changed;
}

bool IniDocument::removeSection(const QString& section)
{
    const QString wanted = fold(trimBlanks(section));
    bool removed = false;
    for (qsizetype b = blocks_.size() - 1; b >= 1; --b) {
        const Line& header = blocks_[b].lines.first();
        if (fold(header.name) != wanted && fold(header.loose) != wanted)
            continue;
        for (const Line& line : std::as_const(blocks_[b].lines))
            if (line.kind == Kind::Comment)
                blocks_[b - 1].lines.append(line);
        blocks_.removeAt(b);
        removed = true;
    }
    if (removed)
        indexSections();
    return removed;
}

} // namespace formats
