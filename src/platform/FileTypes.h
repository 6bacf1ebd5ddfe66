#pragma once
// The type of a file told from its name alone (no file is opened), as the
// desktop's shared MIME database knows it. Qt Core only: the command line
// and the components ask it; FileIcons turns a type into an icon.

#include <QMimeType>
#include <QString>

namespace platform {

class FileTypes {
public:
    // The type of the file at winPath by its extension; the generic binary
    // type for a name without one.
    static QMimeType of(const QString& winPath);

    // The display name of the file's type ("Plain text document"), cached
    // by extension.
    static QString typeName(const QString& winPath);

    // The key a type is cached under: the lower-case extension with its dot;
    // one empty key for every name without one. Telling the type from the
    // name costs a pattern search, and a search lists thousands of files of
    // a handful of extensions.
    static QString cacheKey(const QString& winPath);

    // The extension cacheKey() is made of, as the name spells it: a view
    // into winPath, empty for a name without one.
    static QStringView extensionOf(QStringView winPath);
};

} // namespace platform
