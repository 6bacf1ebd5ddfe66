#pragma once
// What a menu file merged into the applications menu (.menu, XML) names:
// the desktop entries it includes (<Filename>) and the directory entries
// it uses (<Directory>). The text is anyone's: a damaged file names
// nothing, and its caller must then assume it still needs everything.

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace formats {

class MenuMergeFile {
public:
    struct Names {
        QStringList filenames;   // desktop-file ids, as written
        QStringList directories; // .directory file names, as written
    };

    // The names of the file in document order; nullopt when it is no
    // well-formed XML.
    static std::optional<Names> read(const QByteArray& xml);
};

} // namespace formats
