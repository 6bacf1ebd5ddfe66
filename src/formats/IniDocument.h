#pragma once
// An INI-style text held line by line, read and changed the way the Windows
// profile functions read and change it, and written back with every line a
// change does not concern kept byte for byte (comments, blank lines, unknown
// lines, their line ends and their encoding).
//
// Lines end at LF, CR LF or a CR alone. A line whose first non-blank
// character is ';' is a comment: never a key, and kept by every change. A
// line beginning with '[' opens a section named by what stands up to the
// first ']' (or to the end of the line when there is none); any other line
// with '=' is a key. Names match without regard to case; the first matching
// section and, within it, the first matching key win.
//
// Names given to the functions below are trimmed of blanks (spaces) only. A
// name in the file matches when either its blank-trimmed form or its form
// trimmed of all white space (tabs too) equals the given name, so a name
// written with a tab is found again and a hand-indented key still counts.
//
// Encodings: a file with a UTF-16 byte-order mark is UTF-16 throughout.
// Otherwise each line is decoded on its own (see LineDecoder): UTF-8 when
// valid, else windows-1251. Lines that a change writes are UTF-8 (or UTF-16
// in a UTF-16 file); a UTF-8 byte-order mark is kept. Only the file's first
// bytes are a byte-order mark: a U+FEFF anywhere else (a second one at the
// start included) is a character of its line. A line reads as it read when
// the file was read: a last line that would read otherwise once another
// follows it (a UTF-8 sequence cut by the end of the file, an odd byte of a
// UTF-16 file) is then written anew as it was read.
//
// Finding a section or a key costs a hash look-up, so reading or writing
// thousands of keys of one document stays linear.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace formats {

class IniDocument {
public:
    // An empty document, as a new file is written: UTF-8, CR LF line ends.
    IniDocument();

    // Parses a file's raw bytes. Never fails: every byte is kept.
    static IniDocument parse(const QByteArray& raw);

    // The file's bytes: every line as it was read, changed lines re-encoded.
    QByteArray serialize() const;

    // The value of key in section, trimmed of white space, one pair of
    // enclosing quotes taken off; nullopt when the section or key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    enum class Edit { Unchanged, Changed, Refused };

    // Stores value, creating the section (at the end of the file) or the key
    // (right after the section's last key line, or its header, so comments
    // and blank lines ending the section stay last) as needed, and keeping
    // the line end of a changed line; the file's last line gets one when it
    // is changed or a line follows it. New lines take the file's first line
    // end (CR LF when it has none). Line breaks inside names and value become
    // blanks, so a value can never inject lines. A key named like a comment
    // (";x") is added as a line of its own and, like any comment, never read.
    // Refused, changing nothing, when a name could not be read back as
    // written (a section name holding ']', a key holding '=' or beginning
    // with '['); Unchanged when the key held that value already.
    Edit setValue(const QString& section, const QString& key, const QString& value);

    // Removes every section of that name: its header and all its lines but
    // its comments, which stay where they stood. Returns false when there
    // was no such section.
    bool removeSection(const QString& section);

    // A name as the profile functions take it: spaces trimmed at both ends,
    // tabs and other white space kept.
    static QString trimBlanks(QStringView name);

private:
    enum class Kind { Section, Key, Comment, Blank, Other };
    enum class Encoding { Utf8, Utf16LE, Utf16BE };
    struct Line {
        QByteArray raw; // the bytes as written, without the line end
        QByteArray eol; // the line end as written; empty only on the last line
        Kind kind = Kind::Other;
        QString name;  // section or key name, spaces trimmed
        QString loose; // the same name trimmed of all white space
        QString value; // key value, trimmed of white space, quotes kept
    };
    // The lines before the first header, or one section: its header line
    // first. keys maps each folded key name to its first line.
    struct Block {
        QList<Line> lines;
        QHash<QString, qsizetype> keys;
    };

    static Line parseLine(const QString& text);
    QString decodeLine(QByteArrayView raw, bool lastInFile) const;
    Line makeLine(const QString& text) const;
    QByteArray encode(const QString& text) const;
    void indexKeys(Block& block) const;
    void indexSections();
    qsizetype findBlock(const QString& section) const;
    void endLastLine();

    QByteArray bom_;
    Encoding encoding_ = Encoding::Utf8;
    QByteArray eol_;
    QList<Block> blocks_;                // blocks_[0]: lines before any section
    QHash<QString, qsizetype> sections_; // folded section name -> first block
};

} // namespace formats
