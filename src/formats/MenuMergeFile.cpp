#include "formats/MenuMergeFile.h"

#include <QXmlStreamReader>

namespace formats {

std::optional<MenuMergeFile::Names> MenuMergeFile::read(const QByteArray& xml)
{
    Names names;
    QXmlStreamReader reader(xml);
    // A document type may declare entities; nothing of ours needs them, and
    // an expanding one is a way to make a small file huge.
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD && !reader.entityDeclarations().isEmpty())
            return std::nullopt;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const bool file = reader.name() == u"Filename";
        if (!file && reader.name() != u"Directory")
            continue;
        const QString text = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).trimmed();
        if (reader.hasError())
            break;
        (file ? names.filenames : names.directories).append(text);
    }
    if (reader.hasError())
        return std::nullopt;
    return names;
}

} // namespace formats
