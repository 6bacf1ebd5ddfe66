#pragma once
// Steam's text key-values files (libraryfolders.vdf, appmanifest_*.acf):
// quoted or bare keys, each followed by a quoted value or a { } block of
// more pairs; "//" starts a comment; values may escape \" \\ \n \t.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace formats {

class KeyValuesText {
public:
    struct Node {
        QString key;
        QString value;        // empty for a block
        QList<Node> children; // the block's pairs in file order
        bool block = false;

        // The first child whose key equals key without regard to case, or
        // nullptr. The node is the caller's and must outlive the pointer.
        const Node* child(const QString& key) const;
    };

    // The file's top-level pairs, or nullopt when the text is damaged (a
    // block left open or closed twice, a key without a value, an open
    // quote). UTF-8 text; a leading byte-order mark is skipped.
    static std::optional<QList<Node>> parse(const QByteArray& text);
};

} // namespace formats
