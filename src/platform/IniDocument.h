#pragma once
// An INI-style text held line by line, read and changed the way the Windows
// profile functions read and change it, and written back with every line it
// does not change kept as it was (comments, blank lines, unknown keys).
//
// Reading: a line "[name]" opens a section; "name=value" is a key, with
// blanks around the name and the value ignored and one pair of enclosing
// quotes taken off the value; any other line (comments included) is kept but
// never matches. Names match without regard to case; the first matching
// section and, within it, the first matching key win.
//
// Text encodings: UTF-8 (with or without BOM) and UTF-16 with a BOM are
// kept as found; bytes that are not UTF-8 are read in the Windows Cyrillic
// code page and written back as UTF-8.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace platform {

class IniDocument {
public:
    // An empty document that serializes in UTF-8 with LF line ends.
    IniDocument() = default;

    // Parses a file's raw bytes.
    static IniDocument parse(const QByteArray& raw);

    // The file's bytes, every line ended, in the encoding it was read in.
    QByteArray serialize() const;

    // The value of key in section; nullopt when either is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Stores value, creating the section (at the end) or the key (after the
    // section's last entry) as needed. Line breaks inside the name or the
    // value become blanks, so a value can never inject lines. Returns false
    // when nothing changed (the same value was stored already).
    bool setValue(const QString& section, const QString& key, const QString& value);

    // Removes every section of that name with all its lines. Returns false
    // when there was none.
    bool removeSection(const QString& section);

private:
    enum class Kind { Section, Key, Other };
    enum class Encoding { Utf8, Utf8Bom, Utf16LE, Utf16BE };
    struct Line {
        Kind kind = Kind::Other;
        QString text;  // the line as written, without its line end
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed, quotes kept
    };

    static Line parseLine(const QString& text);
    qsizetype findSection(const QString& section, qsizetype from = 0) const;
    qsizetype sectionEnd(qsizetype header) const;

    QList<Line> lines_;
    Encoding encoding_ = Encoding::Utf8;
    QString lineEnd_ = QStringLiteral("\n");
};

} // namespace platform
