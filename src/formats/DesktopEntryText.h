#pragma once
// What the leftovers finder reads of a desktop entry (.desktop) that Wine's
// menu builder wrote: the Exec and Icon keys of the [Desktop Entry] group,
// and which prefix the Exec line starts the program in. The text is
// anyone's: nothing here trusts a path it names beyond its form.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace formats {

class DesktopEntryText {
public:
    // The value of key (exact, not localised) in the [Desktop Entry] group,
    // with the string escapes (\s \n \t \r \\) undone; empty when absent.
    static QString value(const QByteArray& text, const QByteArray& key);

    // The Exec value split into arguments as the desktop-entry rules say:
    // blanks separate, double quotes group (also inside an argument, as in
    // WINEPREFIX="…"), and inside them \" \` \$ \\ stand for the character.
    // An unclosed quote ends the last argument at the end of the text.
    static QStringList arguments(const QString& exec);

    enum class PrefixKind {
        Named,   // prefix holds the folder
        Default, // no prefix named: the user's default one (~/.wine)
        Unknown, // named, but not as an absolute path of plain components
    };
    struct Prefix {
        PrefixKind kind = PrefixKind::Unknown;
        QString folder; // absolute, no trailing "/", no empty, "." or ".." component
    };

    // The prefix an Exec line starts in: the WINEPREFIX= argument of its
    // leading variable assignments (after "env"), else for the old form
    // "… start.exe /Unix <prefix>/dosdevices/…" the path before
    // "/dosdevices/", else the default prefix.
    static Prefix prefixOf(const QString& exec);

    // path with one trailing "/" and doubled "/" taken away; empty when it
    // is not absolute or has a "." or ".." component.
    static QString normalFolder(const QString& path);
};

} // namespace formats
