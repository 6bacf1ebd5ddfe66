// The three formats the leftovers finder reads from files anyone can write:
// binary key-values (shortcuts.vdf), desktop entries' Exec lines and merged
// menu files. Each table mixes the real forms with damaged and hostile ones.

#include "formats/BinaryKeyValues.h"
#include "formats/DesktopEntryText.h"
#include "formats/MenuMergeFile.h"
#include "formats/SteamShortcuts.h"

#include <QTest>

using formats::DesktopEntryText;

namespace {

QByteArray int32(qint32 v)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(quint32(v) >> (8 * i));
    return out;
}

QByteArray str(const char* key, const QByteArray& value)
{
    return '\x01' + QByteArray(key) + '\0' + value + '\0';
}

QByteArray shortcut(int index, const QByteArray& fields)
{
    return '\0' + QByteArray::number(index) + '\0' + fields + '\x08';
}

QByteArray shortcutsFile(const QByteArray& entries)
{
    return QByteArray("\0shortcuts\0", 11) + entries + "\x08\x08";
}

} // namespace

class TestLeftoverFormats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shortcutIdsAreReadOrRefusedWhole();
    void execLinesNameTheirPrefix();
    void menuFilesNameTheirEntriesOrNothing();
};

// moc reads no further: the byte tables below are not for its tokenizer.
#ifndef Q_MOC_RUN
void TestLeftoverFormats::shortcutIdsAreReadOrRefusedWhole()
{
    QCOMPARE(formats::SteamShortcuts::crc32("123456789"), 0xCBF43926u);
    const QByteArray legacy = str("Exe", "\"/games/a.exe\"") + str("AppName", "A");
    const quint32 legacyId = formats::SteamShortcuts::crc32("\"/games/a.exe\"A") | 0x80000000u;
    const QByteArray good = shortcutsFile(shortcut(0, '\x02' + QByteArray("appid", 6) + int32(-1234567))
                                          + shortcut(1, legacy)
                                          + shortcut(2, str("appname", "B") + '\x02' + QByteArray("AppId", 6)
                                                            + int32(42) + QByteArray("\x00tags\x00\x08", 7)));
    struct Row {
        const char* name;
        QByteArray bytes;
        std::optional<QList<quint32>> ids;
    };
    QByteArray deep = QByteArray("\0shortcuts\0", 11);
    for (int i = 0; i < 100; ++i)
        deep += QByteArray("\0x\0", 3);
    const Row rows[] = {
        {"ids, legacy id, upper-case key", good, QList<quint32>{quint32(-1234567), legacyId, 42u}},
        {"empty map", shortcutsFile({}), QList<quint32>{}},
        {"no shortcuts map", QByteArray("\0other\0\x08\x08", 9), std::nullopt},
        {"empty file", {}, std::nullopt},
        {"unknown type", shortcutsFile(QByteArray("\x05x\0", 3)), std::nullopt},
        {"closed twice", good + '\x08', std::nullopt},
        {"too deep", deep, std::nullopt},
        {"int cut short", QByteArray("\0shortcuts\0\0" "0\0\x02" "appid\0\x01\x02", 23), std::nullopt},
    };
    for (const Row& row : rows)
        QVERIFY2(formats::SteamShortcuts::appIds(row.bytes) == row.ids, row.name);
    // Every cut of a good file is refused whole, never read in part (but the
    // top level's closing byte, which some writers leave out).
    QVERIFY(formats::SteamShortcuts::appIds(good.chopped(1)) == rows[0].ids);
    for (qsizetype n = 0; n < good.size() - 1; ++n)
        QVERIFY2(!formats::SteamShortcuts::appIds(good.left(n)), qPrintable(QString::number(n)));
    // Noise never crashes or reads past its end.
    quint32 seed = 7;
    for (int k = 0; k < 2000; ++k) {
        QByteArray noise = good;
        for (int f = 0; f < 3; ++f) {
            seed = seed * 1103515245u + 12345u;
            noise[(seed >> 8) % noise.size()] = char(seed >> 24);
        }
        formats::BinaryKeyValues::parse(noise);
    }
}

void TestLeftoverFormats::execLinesNameTheirPrefix()
{
    using K = DesktopEntryText::PrefixKind;
    struct Row {
        const char* exec;
        K kind;
        const char* folder;
    };
    const Row rows[] = {
        {R"(env WINEPREFIX="/home/u/.wine2" wine C:\\windows\\command\\start.exe /Unix /home/u/.wine2/dosdevices/c:/a.lnk)",
         K::Named, "/home/u/.wine2"},
        {R"(env WINEPREFIX="/home/u/my games/" wine x)", K::Named, "/home/u/my games"},
        {R"(env WINEPREFIX="/home/u/q\"x\\y\$" wine x)", K::Named, "/home/u/q\"x\\y$"},
        {R"(env WINEPREFIX=/home/u//p/ WINEDEBUG=-all wine x)", K::Named, "/home/u/p"},
        {R"(env WINEDEBUG=-all WINEPREFIX="/p" wine x)", K::Named, "/p"},
        {R"(wine C:\\windows\\command\\start.exe /Unix /home/u/.wine/dosdevices/c:/users/Public/x.lnk)", K::Named,
         "/home/u/.wine"},
        {R"(wine start /ProgIDOpen txtfile %f)", K::Default, ""},
        {R"(env WINEPREFIX="relative/p" wine x)", K::Unknown, ""},
        {R"(env WINEPREFIX="/home/u/../../etc" wine x)", K::Unknown, ""},
        {R"(env WINEPREFIX="" wine x)", K::Unknown, ""},
        {R"(env WINEPREFIX="/p wine x)", K::Named, "/p wine x"},
        {R"(wine x WINEPREFIX=/elsewhere)", K::Default, ""},
        {"", K::Default, ""},
    };
    for (const Row& row : rows) {
        const DesktopEntryText::Prefix p = DesktopEntryText::prefixOf(QString::fromUtf8(row.exec));
        QVERIFY2(p.kind == row.kind && p.folder == QString::fromUtf8(row.folder), row.exec);
    }
    const QByteArray entry = "[Desktop Entry]\nName=x\nExec[de]=no\nExec = env WINEPREFIX=\"/a\\sb\" wine\n"
                             "Icon=3A4F_game.0\n[Desktop Action x]\nIcon=other\n";
    QCOMPARE(DesktopEntryText::value(entry, "Exec"), QStringLiteral("env WINEPREFIX=\"/a b\" wine"));
    QCOMPARE(DesktopEntryText::value(entry, "Icon"), QStringLiteral("3A4F_game.0"));
    QCOMPARE(DesktopEntryText::value("[Other]\nIcon=x\n", "Icon"), QString());
}

void TestLeftoverFormats::menuFilesNameTheirEntriesOrNothing()
{
    struct Row {
        const char* xml;
        std::optional<formats::MenuMergeFile::Names> names;
    };
    using N = formats::MenuMergeFile::Names;
    const Row rows[] = {
        {"<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\" "
         "\"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
         "<Menu><Name>Applications</Name><Menu><Name>wine-wine</Name>"
         "<Directory>wine-wine.directory</Directory><Include>"
         "<Filename>wine-Programs-A &amp; B.desktop</Filename></Include></Menu></Menu>",
         N{{"wine-Programs-A & B.desktop"}, {"wine-wine.directory"}}},
        {"<Menu><Filename>a.desktop</Filename>", std::nullopt},
        {"<Menu><Filename><b/>a.desktop</Filename></Menu>", std::nullopt},
        {"<!DOCTYPE m [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]><Menu><Filename>&b;</Filename></Menu>",
         std::nullopt},
        {"", std::nullopt},
        {"<Menu/>", N{}},
    };
    for (const Row& row : rows) {
        const auto got = formats::MenuMergeFile::read(row.xml);
        QVERIFY2(bool(got) == bool(row.names), row.xml);
        if (got)
            QVERIFY2(got->filenames == row.names->filenames && got->directories == row.names->directories, row.xml);
    }
}
#endif

QTEST_GUILESS_MAIN(TestLeftoverFormats)
#include "tst_leftoverformats.moc"
