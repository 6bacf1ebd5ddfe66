#pragma once
// Small text files the program hands over to itself (the estimate's fs.txt,
// the plug-in list): whole files of lines, in Windows-form paths.

#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

class TextFile {
public:
    // The file's lines (CRLF or LF ends, UTF-8); nullopt when it is missing
    // or cannot be read.
    static std::optional<QStringList> readLines(const QString& winPath);

    // Replaces the file with lines, each ended by CR LF, atomically.
    // Returns false when it cannot be written.
    static bool writeLines(const QString& winPath, const QStringList& lines);

    // Deletes the file (never a folder). Returns false when it could not.
    static bool remove(const QString& winPath);
};

} // namespace platform
