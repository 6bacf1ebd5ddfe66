#pragma once
// The plain "key: value" fields of the small YAML files Wine front ends
// write (Lutris game configurations, Bottles' bottle.yml): enough to read a
// scalar at the top level or one level down, not a YAML parser.

#include <QByteArray>
#include <QString>

namespace formats {

class YamlFields {
public:
    // The scalar of key inside the top-level mapping section ("game" for
    // "game:\n  prefix: …"), or at the top level when section is empty.
    // Plain, 'single' and "double" quoted scalars are unquoted; a trailing
    // " #" comment of a plain one is dropped. Empty when absent.
    static QString value(const QByteArray& text, const QString& section, const QString& key);
};

} // namespace formats
