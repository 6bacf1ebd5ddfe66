#pragma once
// One registry file in Wine's text format ("WINE REGISTRY Version 2"),
// parsed, with the byte range of every key block and value line so that a
// change can be made by splicing the original text: whatever a change does
// not touch stays byte for byte.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace formats {

// Value types, numbered as the registry numbers them.
enum RegistryType : quint32 {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
};

struct RegistryValue {
    QString name; // "" for the default value ("@")
    quint32 type = 0;
    bool textForm = false; // stored as "..." / str(N):, else hex or dword
    QString text;          // textForm
    QByteArray bytes;      // hex forms (and dword as 4 little-endian bytes)
    qsizetype start = 0;   // the value's lines, "\n" included
    qsizetype end = 0;
};

struct RegistryBlock {
    QString path;            // key path as spelled, components joined by "\"
    qsizetype start = 0;     // the "[...]" line
    qsizetype headerEnd = 0; // after the key line and its "#" lines
    qsizetype end = 0;       // where the next block starts (or the file ends)
    bool link = false;       // "#link": a symbolic link key
    QList<RegistryValue> values;
};

class RegistryText {
public:
    // Parses text. Never fails: lines that cannot be understood mark the
    // text damaged (see damaged()) and are kept as they are.
    explicit RegistryText(QByteArray text);
    RegistryText() = default;

    const QByteArray& raw() const { return raw_; }

    // True when the text lacks the header or its final newline, or holds a
    // line of a kind the format does not have, a broken key or value line,
    // or NUL bytes. A damaged text is never written back.
    bool damaged() const { return damaged_; }

    // The block of the key (path compared without regard to case), or
    // nullptr when the key has no block of its own.
    const RegistryBlock* block(const QString& path) const;

    // True when the key exists: it has a block or a descendant has one.
    bool exists(const QString& path) const;

    // The spelling of an existing key's path; empty when it does not exist.
    QString spelling(const QString& path) const;

    // Sub-key names of an existing key, sorted as the registry sorts them.
    QStringList children(const QString& path) const;

    // True when the key has a block marked as a link ("#link").
    bool isLink(const QString& path) const;

    // The target a link key names, as the registry's own path without the
    // leading backslash ("REGISTRY\Machine\System\ControlSet001"); nullopt
    // when the key is no link or its SymbolicLinkValue is missing or no
    // REG_LINK. Which file holds the target is the caller's to find.
    std::optional<QString> linkTarget(const QString& path) const;

    // The root the file's keys are relative to, from its ";; All keys
    // relative to" line, unescaped and without the leading backslash
    // ("User\S-1-5-21-…"); empty when the line is missing.
    const QString& relativeTo() const { return relativeTo_; }

    // The Windows architecture the file was written for, from its "#arch="
    // line before the first key ("win32", "win64"); empty when it has none.
    const QByteArray& arch() const { return arch_; }

    // Edits: each returns the whole new text, or nullopt when the edit is
    // impossible (no such key or value). now is the Unix time stamped on
    // new key blocks.
    std::optional<QByteArray> withDword(const QString& keyPath, const QString& name, quint32 value, qint64 now) const;
    std::optional<QByteArray> withoutValue(const QString& keyPath, const QString& name) const;
    std::optional<QByteArray> withoutKey(const QString& keyPath, qint64 now) const;
    // The key (and so its parents) made to exist; nullopt when it already does.
    std::optional<QByteArray> withKey(const QString& keyPath, qint64 now) const;

    // The new file Wine writes for a root that has none yet.
    static QByteArray emptyFile(const QByteArray& relativeTo);

    // Text in the form of a key name or a quoted value, with Wine's escapes.
    static QByteArray escape(const QString& text, char quote);

    // Upper-cased form used to compare key paths and names (same length).
    static QString fold(const QString& s);

    // Keys nest at most this deep (as in Windows); a deeper key line is
    // damaged.
    static constexpr int maxDepth = 512;
    // True when a key at path (in the file's form) would be that deep: no
    // edit writes one, for its line would read as damaged.
    static bool tooDeep(const QString& path);

private:
    struct Node {
        QString name;                    // last component as spelled
        int block = -1;                  // index into blocks_, -1 when implied
        QMap<QString, QString> children; // folded name -> folded full path
    };

    void parse();
    // One "[key]" line: starts a block. False when the name is broken.
    bool parseKeyLine(const char* p, const char* e, qsizetype start, qsizetype next);
    // One value line (and its continuation lines; next moves past them):
    // added to the open block. False when it is broken or has no block.
    bool parseValueLine(const char* p, const char* e, qsizetype start, qsizetype& next);
    void addNode(const QString& path, int blockIndex);
    QByteArray newBlock(const QString& path, qint64 now) const;
    static QString parentOf(const QString& path);
    // path with the spelling of its longest existing head.
    QString knownSpelling(const QString& path) const;

    QByteArray raw_;
    bool damaged_ = false;
    QString relativeTo_;
    QByteArray arch_;
    QList<RegistryBlock> blocks_;
    QHash<QString, Node> nodes_; // folded full path -> node; "" is the root
};

} // namespace formats
