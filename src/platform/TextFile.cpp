#include "platform/TextFile.h"

#include "platform/AtomicFile.h"
#include "platform/PathMapper.h"

#include <QFile>

namespace platform {

std::optional<QStringList> TextFile::readLines(const QString& winPath)
{
    QByteArray raw;
    if (AtomicFile::read(PathMapper::toHost(winPath), raw) != AtomicFile::ReadResult::Ok)
        return std::nullopt;
    QString text = QString::fromUtf8(raw);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool TextFile::writeLines(const QString& winPath, const QStringList& lines)
{
    QByteArray data;
    for (const QString& line : lines)
        data += line.toUtf8() + "\r\n";
    return AtomicFile::write(PathMapper::toHost(winPath), data);
}

bool TextFile::remove(const QString& winPath)
{
    return AtomicFile::removeFile(PathMapper::toHost(winPath));
}

} // namespace platform
