#include "formats/WinPath.h"

#include "formats/NameOrder.h"

namespace formats::WinPath {

bool isDelimiter(QChar c)
{
    return c == u'\\' || c == u':';
}

static qsizetype lastDelimiter(QStringView path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isDelimiter(path.at(i)))
            return i;
    return -1;
}

QString extractFilePath(const QString& path)
{
    return path.left(lastDelimiter(path) + 1);
}

QString extractFileName(const QString& path)
{
    return path.mid(lastDelimiter(path) + 1);
}

QStringView fileNameOf(QStringView path)
{
    return path.mid(lastDelimiter(path) + 1);
}

QString includeTrailingBackslash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(u'\\'))
        return path;
    return path + u'\\';
}

QString excludeTrailingBackslash(const QString& path)
{
    if (path.size() <= 3 && driveLetter(path) != QChar())
        return path;
    return path.endsWith(u'\\') ? path.chopped(1) : path;
}

QChar driveLetter(const QString& path)
{
    if (path.size() < 2 || path.at(1) != u':')
        return {};
    const QChar c = path.at(0);
    if (c.unicode() > 0x7f || !c.isLetter())
        return {};
    return c.toLower();
}

bool startsWithIgnoringCase(QStringView text, QStringView prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i)
        if (NameOrder::fold(text[i]) != NameOrder::fold(prefix[i]))
            return false;
    return true;
}

QString foldedCase(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = QChar(NameOrder::fold(text[i]));
    return out;
}

} // namespace formats::WinPath
