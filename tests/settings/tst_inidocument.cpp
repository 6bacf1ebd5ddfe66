// Reading and changing INI text the way the Windows profile functions do,
// grouped by behaviour: reading, writing, comments, encodings, and a property
// test of random edits on random files.

#include "formats/IniDocument.h"
#include "formats/LineDecoder.h"
#include "platform/ProfileFile.h"

#include <QRandomGenerator>
#include <QtTest>

using formats::IniDocument;
using formats::LineDecoder;
using Edit = formats::IniDocument::Edit;

namespace {

std::optional<QString> some(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

// ---------------------------------------------------------------------------
class TestReading : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keysValuesAndDuplicates()
    {
        const formats::IniDocument doc = formats::IniDocument::parse("[Search]\r\n"
                                                   "  Disk  =  All  \r\n"
                                                   "Disk=second\r\n"
                                                   "quoted=\"  spaced  \"\r\n"
                                                   "single='x'\r\n"
                                                   "noequals\r\n"
                                                   "empty=\r\n"
                                                   "[ View ]\r\n"
                                                   "XPMenu=No\r\n"
                                                   "[search]\r\n"
                                                   "Late=1\r\n");
        QCOMPARE(doc.value("SEARCH", "disk"), some("All")); // first of duplicates
        QCOMPARE(doc.value("Search", "quoted"), some("  spaced  "));
        QCOMPARE(doc.value("Search", "single"), some("x"));
        QCOMPARE(doc.value("Search", "noequals"), std::nullopt);
        QCOMPARE(doc.value("Search", "empty"), some(""));
        QCOMPARE(doc.value("view", "xpmenu"), some("No"));
        QCOMPARE(doc.value("Search", "Late"), std::nullopt); // only the first section of a name counts
        QCOMPARE(doc.value("Missing", "x"), std::nullopt);
    }

    void carriageReturnsAloneEndLines()
    {
        const formats::IniDocument cr = formats::IniDocument::parse("[Search]\rDisk=1\rTempFiles=No\r[View]\rXPMenu=No");
        QCOMPARE(cr.value("Search", "Disk"), some("1"));
        QCOMPARE(cr.value("Search", "TempFiles"), some("No"));
        QCOMPARE(cr.value("View", "XPMenu"), some("No"));

        const formats::IniDocument mixed = formats::IniDocument::parse("[S]\nA=1\r\nB=2\rC=3\r\r\nD=4");
        for (const char* key : {"A", "B", "C", "D"})
            QVERIFY2(mixed.value("S", key).has_value(), key);
        QCOMPARE(mixed.value("S", "C"), some("3"));
    }

    void aHeaderWithoutItsBracketOpensTheSection()
    {
        const formats::IniDocument doc = formats::IniDocument::parse("[SectionName   \r\nkey=1\r\n[Other]x\r\nkey=2\r\n[\r\nkey=3\r\n");
        QCOMPARE(doc.value("SectionName", "key"), some("1"));
        QCOMPARE(doc.value("Other", "key"), some("2")); // what follows ']' does not count
        QCOMPARE(doc.value("", "key"), some("3"));
    }

    void givenNamesLoseBlanksButNotTabs()
    {
        const formats::IniDocument doc = formats::IniDocument::parse("[SectionName]\r\nkey=v\r\n");
        QCOMPARE(doc.value("  SectionName  ", "  key  "), some("v"));
        QCOMPARE(doc.value("\tSectionName", "key"), std::nullopt);
        QCOMPARE(doc.value("SectionName\t", "key"), std::nullopt);
        QCOMPARE(doc.value("\vSectionName", "key"), std::nullopt);
        QCOMPARE(doc.value("SectionName", "\tkey"), std::nullopt);

        // A hand-indented file still reads.
        const formats::IniDocument indented = formats::IniDocument::parse("\t[\tView ]\r\n\tXPMenu\t=\tNo\t\r\n");
        QCOMPARE(indented.value("View", "XPMenu"), some("No"));
    }

    void aMissingKeyGivesTheDefaultWithoutTrailingBlanks()
    {
        const formats::IniDocument doc = formats::IniDocument::parse("[S]\r\nk=  value  \r\n");
        using platform::ProfileFile;
        QCOMPARE(ProfileFile::readString(doc, "S", "missing", "default  "), QStringLiteral("default"));
        QCOMPARE(ProfileFile::readString(doc, "S", "missing", "  default\t "), QStringLiteral("  default\t"));
        QCOMPARE(ProfileFile::readString(doc, "S", "missing", "   "), QString());
        QCOMPARE(ProfileFile::readString(doc, "S", "k", "default  "), QStringLiteral("value"));
        QCOMPARE(ProfileFile::readString(doc, "S", "k", "", 4), QStringLiteral("val"));
    }
};

// ---------------------------------------------------------------------------
class TestWriting : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aNewFileIsWrittenWithCrLf()
    {
        formats::IniDocument doc;
        QCOMPARE(doc.setValue("Search", "Disk", "All"), Edit::Changed);
        QCOMPARE(doc.setValue("View", "XPMenu", "Yes"), Edit::Changed);
        QCOMPARE(doc.serialize(), QByteArray("[Search]\r\nDisk=All\r\n[View]\r\nXPMenu=Yes\r\n"));
        QCOMPARE(formats::IniDocument::parse(QByteArray()).serialize(), QByteArray());
        formats::IniDocument empty = formats::IniDocument::parse(QByteArray());
        empty.setValue("S", "k", "v");
        QCOMPARE(empty.serialize(), QByteArray("[S]\r\nk=v\r\n"));
    }

    void newKeysAndSectionsGoToTheEnd()
    {
        formats::IniDocument doc = formats::IniDocument::parse("[Search]\nDisk=All\n\n[Delete]\nRecycle=Yes\n");
        QCOMPARE(doc.setValue("search", "TempFiles", "No"), Edit::Changed);
        QCOMPARE(doc.setValue("Window", "Top", "10"), Edit::Changed);
        QCOMPARE(doc.setValue("SEARCH", "disk", "1"), Edit::Changed);
        QCOMPARE(doc.setValue("Search", "Disk", "1"), Edit::Unchanged);
        QCOMPARE(doc.serialize(),
                 QByteArray("[Search]\nDisk=1\nTempFiles=No\n\n[Delete]\nRecycle=Yes\n"
                            "[Window]\nTop=10\n"));
    }

    void existingLineEndsAreKeptLineByLine()
    {
        // Only the line a write changes is written anew, with its own end.
        formats::IniDocument doc = formats::IniDocument::parse("[S]\nA=1\r\nB=2\rC=3\r\r\nD=4\n");
        QCOMPARE(doc.setValue("S", "C", "9"), Edit::Changed);
        QCOMPARE(doc.setValue("S", "B", "8"), Edit::Changed);
        QCOMPARE(doc.serialize(), QByteArray("[S]\nA=1\r\nB=8\rC=9\r\r\nD=4\n"));
        // New lines take the file's first line end.
        QCOMPARE(doc.setValue("S", "E", "5"), Edit::Changed);
        QCOMPARE(doc.serialize(), QByteArray("[S]\nA=1\r\nB=8\rC=9\r\r\nD=4\nE=5\n"));

        formats::IniDocument cr = formats::IniDocument::parse("[S]\rA=1\r\rB=2\r");
        cr.setValue("S", "A", "9");
        cr.setValue("T", "C", "3");
        QCOMPARE(cr.serialize(), QByteArray("[S]\rA=9\r\rB=2\r[T]\rC=3\r"));
    }

    // Each row: a file, the keys written to it in order (section, key,
    // value), the bytes that result. Every value written reads back from
    // the file as written.
    void writtenValuesAreKept_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QByteArray>("result");
        const auto utf16 = [](const QString& text) {
            return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        };
        const QString cut(2, QChar::ReplacementCharacter);
        QTest::newRow("an odd byte ends a UTF-16 file")
            << QByteArray("\xFF\xFE\x61") << QStringList{"s", "k", "v"}
            << "\xFF\xFE" + utf16("\r\n[s]\r\nk=v\r\n"); // the odd byte read as nothing, and goes
        QTest::newRow("a header cut in a UTF-8 sequence gets a key")
            << QByteArray("[\xE0\xAD") << QStringList{cut, "k", "v"} << "[" + cut.toUtf8() + "\r\nk=v\r\n";
        QTest::newRow("a header cut in a UTF-8 sequence gets a section after it")
            << QByteArray("[\xE0\xAD") << QStringList{"t", "k", "v", cut, "k", "w"}
            << "[" + cut.toUtf8() + "\r\nk=w\r\n[t]\r\nk=v\r\n";
        QTest::newRow("keys go after the last key, comment-named ones too")
            << QByteArray("[S]\r\n")
            << QStringList{"S", "z", "", "S", ";y", "", "S", "a", "", "S", ";b", "", "S", ";c", ""}
            << QByteArray("[S]\r\nz=\r\na=\r\n;c=\r\n;b=\r\n;y=\r\n");
        QTest::newRow("comments ending a section stay last")
            << QByteArray("[S]\n;about a\na=1\n;about b\nb=2\n;end\n\n[T]\n;only\n")
            << QStringList{"S", "c", "3", "T", "d", "4"}
            << QByteArray("[S]\n;about a\na=1\n;about b\nb=2\nc=3\n;end\n\n[T]\nd=4\n;only\n");
        QTest::newRow("a rewritten last line gets its line end")
            << QByteArray("[S]\r\nTestKey=TestValue") << QStringList{"S", "TestKey", "TestValue2"}
            << QByteArray("[S]\r\nTestKey=TestValue2\r\n");
        QTest::newRow("in the file's own style")
            << QByteArray("[S]\nA=1") << QStringList{"S", "A", "2", "S", "B", "3"} << QByteArray("[S]\nA=2\nB=3\n");
    }
    void writtenValuesAreKept()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, writes);
        QFETCH(QByteArray, result);
        formats::IniDocument doc = formats::IniDocument::parse(file);
        for (qsizetype i = 0; i + 2 < writes.size(); i += 3)
            QCOMPARE(doc.setValue(writes[i], writes[i + 1], writes[i + 2]), Edit::Changed);
        QCOMPARE(doc.serialize(), result);
        const formats::IniDocument back = formats::IniDocument::parse(result);
        for (qsizetype i = 0; i + 2 < writes.size(); i += 3)
            if (!writes[i + 1].startsWith(u';'))
                QCOMPARE(back.value(writes[i], writes[i + 1]), std::optional<QString>(writes[i + 2]));
    }

    void namesWithTabsAreWrittenAsGiven()
    {
        formats::IniDocument doc;
        QCOMPARE(doc.setValue("\tsec\t", "\tkey", "v"), Edit::Changed);
        QCOMPARE(doc.serialize(), QByteArray("[\tsec\t]\r\n\tkey=v\r\n"));
        QCOMPARE(doc.value("\tsec\t", "\tkey"), some("v"));
        // Written again, the same lines are found: nothing piles up.
        QCOMPARE(doc.setValue("\tsec\t", "\tkey", "v"), Edit::Unchanged);
        QCOMPARE(doc.setValue("\tsec\t", "\tkey", "w"), Edit::Changed);
        QCOMPARE(doc.serialize(), QByteArray("[\tsec\t]\r\n\tkey=w\r\n"));
        // A plain name still finds the section written with tabs.
        QCOMPARE(doc.setValue("  sec  ", "k", "x"), Edit::Changed);
        QCOMPARE(doc.serialize(), QByteArray("[\tsec\t]\r\n\tkey=w\r\nk=x\r\n"));
    }

    void namesThatWouldReadBackOtherwiseAreRefused()
    {
        formats::IniDocument doc = formats::IniDocument::parse("[S]\r\nA=1\r\n");
        const QByteArray before = doc.serialize();
        QCOMPARE(doc.setValue("a]b", "k", "v"), Edit::Refused);
        QCOMPARE(doc.setValue("S", "a=b", "v"), Edit::Refused);
        QCOMPARE(doc.setValue("S", "[T", "v"), Edit::Refused);
        QCOMPARE(doc.serialize(), before);
    }

    void valuesCannotInjectLines()
    {
        formats::IniDocument doc;
        doc.setValue("CFilters", "Filter0", "*.tmp\n[Search]\nDisk=9");
        doc.setValue("CFilters", "Filter1", "a\rb");
        QCOMPARE(doc.value("Search", "Disk"), std::nullopt);
        QCOMPARE(doc.value("CFilters", "Filter0"), some("*.tmp [Search] Disk=9"));
        QCOMPARE(doc.value("CFilters", "Filter1"), some("a b"));
        QCOMPARE(doc.serialize().count('\n'), 3);
    }

    void sectionsAreRemovedWithAllTheirKeys()
    {
        formats::IniDocument doc = formats::IniDocument::parse(
            "[CFilters]\nItems=2\nFilter0=a\n[View]\nXPMenu=Yes\n[cfilters]\nItems=5\n");
        QVERIFY(doc.removeSection("CFILTERS"));
        QVERIFY(!doc.removeSection("CFilters"));
        QCOMPARE(doc.serialize(), QByteArray("[View]\nXPMenu=Yes\n"));
        QCOMPARE(doc.value("CFilters", "Items"), std::nullopt);
        QVERIFY(!doc.removeSection("\tView"));
    }

    void thousandsOfKeysKeepTheirOrder()
    {
        formats::IniDocument doc;
        for (int n = 0; n < 20000; ++n)
            doc.setValue("ExDirs", "Dir" + QString::number(n), "c:\\d" + QString::number(n));
        const formats::IniDocument back = formats::IniDocument::parse(doc.serialize());
        QCOMPARE(back.value("exdirs", "DIR19999"), some("c:\\d19999"));
        QCOMPARE(back.value("ExDirs", "Dir0"), some("c:\\d0"));
        QVERIFY(back.serialize().startsWith("[ExDirs]\r\nDir0=c:\\d0\r\nDir1=c:\\d1\r\n"));
    }
};

// ---------------------------------------------------------------------------
class TestComments : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commentLinesAreNeverKeys()
    {
        const formats::IniDocument doc = formats::IniDocument::parse(
            "; comment=1\r\n[S]\r\n;key=1\r\n   ;spaced=2\r\n\t;tabbed=3\r\nreal=4\r\n");
        QCOMPARE(doc.value("S", ";key"), std::nullopt);
        QCOMPARE(doc.value("S", "key"), std::nullopt);
        QCOMPARE(doc.value("S", ";spaced"), std::nullopt);
        QCOMPARE(doc.value("S", "   ;spaced"), std::nullopt);
        QCOMPARE(doc.value("S", "spaced"), std::nullopt);
        QCOMPARE(doc.value("S", ";tabbed"), std::nullopt);
        QCOMPARE(doc.value("S", "real"), some("4"));
    }

    void aKeyNamedLikeACommentDoesNotMergeWithOne()
    {
        formats::IniDocument doc = formats::IniDocument::parse("[S]\r\n;key=old\r\n");
        QCOMPARE(doc.setValue("S", ";key", "new"), Edit::Changed);
        QCOMPARE(doc.serialize(), QByteArray("[S]\r\n;key=new\r\n;key=old\r\n"));
        QCOMPARE(doc.value("S", ";key"), std::nullopt);
    }

    void writesKeepCommentsWhereTheyStand()
    {
        formats::IniDocument doc = formats::IniDocument::parse(";top\r\n[S]\r\n;c1\r\nA=1\r\n;c2\r\n\r\n[T]\r\n;c3\r\n");
        doc.setValue("S", "A", "2");
        doc.setValue("S", "B", "3");
        doc.setValue("T", "C", "4");
        QCOMPARE(doc.serialize(), QByteArray(";top\r\n[S]\r\n;c1\r\nA=2\r\nB=3\r\n;c2\r\n\r\n[T]\r\nC=4\r\n;c3\r\n"));
    }

    void removingASectionKeepsItsComments()
    {
        formats::IniDocument doc = formats::IniDocument::parse(
            "[A]\r\nx=1\r\n;note on y\r\ny=2\r\n\r\n[B]\r\nz=3\r\n  ; last\r\n[a]\r\n;dup\r\n");
        QVERIFY(doc.removeSection("a"));
        QCOMPARE(doc.serialize(), QByteArray(";note on y\r\n[B]\r\nz=3\r\n  ; last\r\n;dup\r\n"));
        QVERIFY(doc.removeSection("B"));
        QCOMPARE(doc.serialize(), QByteArray(";note on y\r\n  ; last\r\n;dup\r\n"));
        QCOMPARE(doc.value("B", "z"), std::nullopt);
    }
};

// ---------------------------------------------------------------------------
class TestEncodings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneLegacyLineDoesNotSpoilTheOthers()
    {
        // A comment in windows-1251 above folders written in UTF-8.
        const QByteArray raw = "; \xc7\xe0\xec\xe5\xf2\xea\xe8\r\n[ExDirs]\r\nItems=1\r\nDir0="
            + QStringLiteral("c:\\Документы").toUtf8() + "\r\nState0=1\r\n";
        formats::IniDocument doc = formats::IniDocument::parse(raw);
        QCOMPARE(doc.value("ExDirs", "Dir0"), std::optional<QString>(QStringLiteral("c:\\Документы")));
        doc.setValue("ExDirs", "State0", "0");
        QCOMPARE(doc.serialize(), QByteArray(raw).replace("State0=1", "State0=0"));
    }

    void legacyLinesReadInWindows1251AndStayByteForByte()
    {
        const QByteArray raw = "[ExDirs]\r\nDir0=c:\\\xc4\xee\xea\xf3\xec\xe5\xed\xf2\xfb\r\nDir1=d:\\\xa8\xb8\xb9\r\n";
        formats::IniDocument doc = formats::IniDocument::parse(raw);
        QCOMPARE(doc.value("ExDirs", "Dir0"), std::optional<QString>(QStringLiteral("c:\\Документы")));
        QCOMPARE(doc.value("ExDirs", "Dir1"), std::optional<QString>(QStringLiteral("d:\\Ёё№")));
        doc.setValue("ExDirs", "Dir2", QStringLiteral("e:\\Новая"));
        QCOMPARE(doc.serialize(), raw + QStringLiteral("Dir2=e:\\Новая\r\n").toUtf8());
        // A changed legacy line is written in UTF-8 and reads the same.
        doc.setValue("ExDirs", "Dir0", QStringLiteral("c:\\Документы\\2"));
        const formats::IniDocument back = formats::IniDocument::parse(doc.serialize());
        QCOMPARE(back.value("ExDirs", "Dir0"), std::optional<QString>(QStringLiteral("c:\\Документы\\2")));
        QCOMPARE(back.value("ExDirs", "Dir1"), std::optional<QString>(QStringLiteral("d:\\Ёё№")));
    }

    void aSequenceCutByTheEndOfTheFileIsKept()
    {
        const QByteArray cut = "[ExDirs]\r\nDir0=" + QStringLiteral("c:\\Д").toUtf8() + "\xd0";
        formats::IniDocument doc = formats::IniDocument::parse(cut);
        QCOMPARE(doc.value("ExDirs", "Dir0"),
                 std::optional<QString>(QStringLiteral("c:\\Д") + QChar::ReplacementCharacter));
        QCOMPARE(doc.serialize(), cut);
        doc.setValue("ExDirs", "Items", "1");
        // Followed by a line, it would read in windows-1251: it is written
        // as it was read.
        QCOMPARE(doc.serialize(), cut.chopped(1) + "\xEF\xBF\xBD\r\nItems=1\r\n");
        const QByteArray cut3 = "[S]\r\nk=" + QByteArray("\xe2\x82");
        QCOMPARE(formats::IniDocument::parse(cut3).value("S", "k"),
                 std::optional<QString>(QString(2, QChar::ReplacementCharacter)));
        // Not at the end of the file, the same bytes make the line a legacy one.
        QCOMPARE(formats::IniDocument::parse("[S]\r\nk=\xd0\r\n").value("S", "k"), std::optional<QString>(QStringLiteral("Р")));
    }

    void byteOrderMarksAreKept()
    {
        formats::IniDocument doc = formats::IniDocument::parse("\xEF\xBB\xBF[View]\nXPMenu=Yes\n");
        QCOMPARE(doc.value("View", "XPMenu"), some("Yes"));
        doc.setValue("View", "Separators", "No");
        QCOMPARE(doc.serialize(), QByteArray("\xEF\xBB\xBF[View]\nXPMenu=Yes\nSeparators=No\n"));

        for (const bool big : {false, true}) {
            QStringEncoder encoder(big ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE);
            const QByteArray bom = big ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
            const QByteArray utf16 = bom
                + QByteArray(encoder.encode(QStringLiteral("[ExDirs]\r\nDir0=c:\\Документы\rX=1")));
            doc = formats::IniDocument::parse(utf16);
            QCOMPARE(doc.value("ExDirs", "Dir0"), std::optional<QString>(QStringLiteral("c:\\Документы")));
            QCOMPARE(doc.serialize(), utf16);
            doc.setValue("ExDirs", "Dir1", QStringLiteral("d:\\Ё"));
            QCOMPARE(doc.serialize(), utf16 + QByteArray(encoder.encode(QStringLiteral("\r\nDir1=d:\\Ё\r\n"))));
        }
    }

    void aMarkAfterTheFilesFirstBytesIsACharacter()
    {
        // Only the first bytes of the file are a byte-order mark. Anywhere
        // else U+FEFF belongs to its line, however the line is decoded, so
        // a marked name is not the plain one; the bytes stay as they were.
        const QString mark(QChar(0xFEFF));
        const auto utf16 = [](bool big, const QString& text) {
            QStringEncoder encoder(big ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE);
            return QByteArray(encoder.encode(text));
        };
        struct Case {
            const char* name;
            QByteArray raw;
            QString section, key;
            std::optional<QString> value;
        };
        const QList<Case> cases = {
            {"utf-8 line", "[S]\r\n\xEF\xBB\xBFk=1\r\n", "S", mark + "k", some("1")},
            {"utf-8 line, not the plain name", "[S]\r\n\xEF\xBB\xBFk=1\r\n", "S", "k", std::nullopt},
            {"utf-8 line cut by the end of the file", "[S]\r\n\xEF\xBB\xBFk=\xD0", "S", mark + "k",
             QString(QChar::ReplacementCharacter)},
            {"windows-1251 line", "[S]\r\n\xEF\xBB\xBFk=\xC4\r\n", "S", QStringLiteral("п»їk"), some("Д")},
            {"doubled mark opens the file", "\xEF\xBB\xBF\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", std::nullopt},
            {"one mark opens the file", "\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", some("1")},
            {"utf-16le line", "\xFF\xFE" + utf16(false, "[S]\r\n" + mark + "k=1"), "S", mark + "k", some("1")},
            {"utf-16be line", "\xFE\xFF" + utf16(true, "[S]\r\n" + mark + "k=1"), "S", "k", std::nullopt},
            {"utf-16le doubled mark", "\xFF\xFE" + utf16(false, mark + "[S]\r\nk=1"), "S", "k", std::nullopt},
            {"utf-16be one mark", "\xFE\xFF" + utf16(true, "[S]\r\nk=1"), "S", "k", some("1")},
        };
        for (const Case& c : cases) {
            const formats::IniDocument doc = formats::IniDocument::parse(c.raw);
            QVERIFY2(doc.value(c.section, c.key) == c.value, c.name);
            QVERIFY2(doc.serialize() == c.raw, c.name);
        }
        // Written through the profile functions, a marked name reads back
        // as written, not as the plain one.
        formats::IniDocument doc = formats::IniDocument::parse("\xEF\xBB\xBF[S]\r\n");
        QCOMPARE(doc.setValue("S", mark + "k", "2"), Edit::Changed);
        const formats::IniDocument back = formats::IniDocument::parse(doc.serialize());
        QCOMPARE(back.value("S", mark + "k"), some("2"));
        QCOMPARE(back.value("S", "k"), std::nullopt);
    }

    void utf8IsCheckedStrictly()
    {
        QCOMPARE(formats::LineDecoder::validUtf8Length("ab\xd0\x94"), 4);
        QCOMPARE(formats::LineDecoder::validUtf8Length("a\xc0\xaf"), 1);          // overlong '/'
        QCOMPARE(formats::LineDecoder::validUtf8Length("a\xed\xa0\x80"), 1);      // a surrogate
        QCOMPARE(formats::LineDecoder::validUtf8Length("a\xf4\x90\x80\x80"), 1);  // above U+10FFFF
        QCOMPARE(formats::LineDecoder::validUtf8Length("a\xf0\x9f\x98\x80z"), 6); // outside the BMP
        QVERIFY(formats::LineDecoder::isTruncatedUtf8("\xf0\x9f\x98"));
        QVERIFY(!formats::LineDecoder::isTruncatedUtf8("\xf0\x9f\x98\x80"));
        QVERIFY(!formats::LineDecoder::isTruncatedUtf8("\xf0\x20"));
        QCOMPARE(formats::LineDecoder::fromWindows1251("\xc0\xff\xa8\xb8\xb9\x88\x98\x41"),
                 QString::fromUtf16(u"Ая"
                                    u"Ёё№€\u0098A"));
    }
};

// ---------------------------------------------------------------------------
// Random edits on random files: every line an edit does not concern stays
// byte for byte, and no value but the edited one changes.
class TestEditProperty : public QObject {
    Q_OBJECT

    struct RawLine {
        QByteArray content, eol;
        bool operator==(const RawLine&) const = default;
    };

    static QList<RawLine> splitLines(const QByteArray& raw)
    {
        QList<RawLine> lines;
        qsizetype start = 0;
        while (start < raw.size()) {
            qsizetype end = start;
            while (end < raw.size() && raw[end] != '\n' && raw[end] != '\r')
                ++end;
            qsizetype eol = end < raw.size() ? 1 : 0;
            if (end + 1 < raw.size() && raw[end] == '\r' && raw[end + 1] == '\n')
                eol = 2;
            lines.append({raw.mid(start, end - start), raw.mid(end, eol)});
            start = end + eol;
        }
        return lines;
    }

    static bool isComment(const QByteArray& content)
    {
        const QByteArray t = content.trimmed();
        return t.startsWith(';');
    }

    // True when small appears in order within big; a line of small that was
    // the file's last without a line end may have gained one and, had it
    // read otherwise followed by a line, been written as it was read.
    static bool isSubsequence(const QList<RawLine>& small, const QList<RawLine>& big)
    {
        qsizetype j = 0;
        for (qsizetype i = 0; i < small.size(); ++i) {
            const bool openEnd = i == small.size() - 1 && small[i].eol.isEmpty();
            const QByteArray asRead = formats::LineDecoder::decode(small[i].content, true).toUtf8();
            while (j < big.size()
                   && !(big[j] == small[i]
                        || (openEnd && (big[j].content == small[i].content || big[j].content == asRead))))
                ++j;
            if (j == big.size())
                return false;
            ++j;
        }
        return true;
    }

    QRandomGenerator rng{20261207};

    template <typename T> const T& pick(const QList<T>& from) { return from[rng.bounded(int(from.size()))]; }

    const QList<QByteArray> fragments{
        "[Search]",
        "[search   ",
        "[ View ]",
        "[\tTab\t]",
        "[Tab]",
        "[CFilters]",
        "[ExDirs]",
        "  [ExDirs]",
        "Disk=All",
        "  disk = 1 ",
        "\tItems=3",
        "Items = 2",
        "Dir0=" + QStringLiteral("c:\\Документы").toUtf8(),
        "Dir1=c:\\\xc4\xee\xea",
        "Filter0=*.tmp",
        ";Disk=commented",
        "  ; note",
        "\t;Items=9",
        "noequals",
        "",
        "   ",
        "\x1a",
        "=empty",
        "key=\"quoted\"",
        "State0=1",
        "\tkey\t=\ttabbed",
    };
    const QList<QByteArray> eols{"\r\n", "\n", "\r", "\r\r\n"};
    const QList<QString> sections{"Search",   "SEARCH", "search", "View",       "\tTab\t", "Tab",
                                  "CFilters", "ExDirs", "New",    "  Search  ", "exdirs"};
    const QList<QString> keys{"Disk", "disk",    "Items", "Dir0", "Dir1",     "Filter0", ";Disk",
                              "New",  "\tItems", "key",   "",     "noequals", "State0",  "\tkey"};
    const QList<QString> values{"1", "All", QStringLiteral("d:\\Папка"), "  padded  ", "a\nb", "\"q\"", "", "x=y"};

    QByteArray randomLine()
    {
        if (rng.bounded(8) == 0) { // a line of random bytes, never a line end
            QByteArray bytes;
            for (int i = rng.bounded(12); i > 0; --i) {
                char c = char(rng.bounded(0x20, 0x100));
                bytes.append(c == '\x7f' ? 'x' : c);
            }
            return bytes;
        }
        return pick(fragments);
    }

    QByteArray randomFile()
    {
        QByteArray raw;
        for (int n = rng.bounded(14); n > 0; --n)
            raw += randomLine() + pick(eols);
        switch (rng.bounded(4)) {
        case 0:
            raw += randomLine(); // the last line without its end
            break;
        case 1:
            raw += "Dir9=\xd0"; // cut off in the middle of a character
            break;
        default:
            break;
        }
        return raw;
    }

    // Every section x key pair the test asks about, with what it reads.
    QList<std::optional<QString>> readAll(const formats::IniDocument& doc) const
    {
        QList<std::optional<QString>> out;
        for (const QString& s : sections)
            for (const QString& k : keys)
                out.append(doc.value(s, k));
        return out;
    }

    static QString looseFold(const QString& name) { return name.trimmed().toCaseFolded(); }

    void checkReparse(const formats::IniDocument& doc)
    {
        const QByteArray bytes = doc.serialize();
        const formats::IniDocument again = formats::IniDocument::parse(bytes);
        QCOMPARE(again.serialize(), bytes);
        QCOMPARE(readAll(again), readAll(doc));
    }

    void checkSetValue(const QByteArray& before, formats::IniDocument& doc, const QString& s, const QString& k, const QString& v)
    {
        const QList<std::optional<QString>> oldValues = readAll(doc);
        const Edit edit = doc.setValue(s, k, v);
        const QByteArray after = doc.serialize();
        if (edit != Edit::Changed) {
            QCOMPARE(after, before);
            return;
        }
        const QList<RawLine> o = splitLines(before), r = splitLines(after);
        if (r.size() == o.size()) {
            int differing = 0;
            for (qsizetype i = 0; i < o.size(); ++i)
                differing += o[i] == r[i] ? 0 : 1;
            QCOMPARE(differing, 1);
        } else {
            QVERIFY(r.size() - o.size() == 1 || r.size() - o.size() == 2);
            QVERIFY(isSubsequence(o, r));
        }
        // Nothing else changed its value; what changed now reads as written.
        QString expected = v;
        expected.replace(u'\n', u' ');
        expected = expected.trimmed();
        if (expected.size() >= 2 && expected.front() == u'"' && expected.back() == u'"')
            expected = expected.mid(1, expected.size() - 2);
        const QList<std::optional<QString>> newValues = readAll(doc);
        for (qsizetype i = 0; i < newValues.size(); ++i)
            if (newValues[i] != oldValues[i])
                QCOMPARE(newValues[i], std::optional<QString>(expected));
        if (!k.trimmed().startsWith(u';'))
            QCOMPARE(doc.value(s, k), std::optional<QString>(expected));
    }

    void checkRemoveSection(const QByteArray& before, formats::IniDocument& doc, const QString& s)
    {
        const QList<std::optional<QString>> oldValues = readAll(doc);
        const bool removed = doc.removeSection(s);
        const QByteArray after = doc.serialize();
        if (!removed) {
            QCOMPARE(after, before);
            return;
        }
        const QList<RawLine> o = splitLines(before), r = splitLines(after);
        QVERIFY(r.size() < o.size());
        QVERIFY(isSubsequence(r, o));
        const auto comments = [](const QList<RawLine>& lines) {
            return std::count_if(lines.begin(), lines.end(), [](const RawLine& l) { return isComment(l.content); });
        };
        QCOMPARE(comments(r), comments(o));
        for (const QString& k : keys)
            QCOMPARE(doc.value(s, k), std::nullopt);
        // Sections of other names read as before.
        const QList<std::optional<QString>> newValues = readAll(doc);
        for (qsizetype i = 0; i < newValues.size(); ++i) {
            const QString& section = sections[i / keys.size()];
            if (looseFold(section) != looseFold(s))
                QCOMPARE(newValues[i], oldValues[i]);
        }
    }

private Q_SLOTS:
    void untouchedLinesStayByteForByte()
    {
        for (int round = 0; round < 3000; ++round) {
            const QByteArray file = randomFile();
            formats::IniDocument doc = formats::IniDocument::parse(file);
            QCOMPARE(doc.serialize(), file);
            for (int step = rng.bounded(1, 5); step > 0; --step) {
                const QByteArray before = doc.serialize();
                if (rng.bounded(4) == 0)
                    checkRemoveSection(before, doc, pick(sections));
                else
                    checkSetValue(before, doc, pick(sections), pick(keys), pick(values));
                if (QTest::currentTestFailed()) {
                    qWarning() << "file:" << file << "before the edit:" << before;
                    return;
                }
                checkReparse(doc);
            }
        }
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    TestReading reading;
    failed += QTest::qExec(&reading, argc, argv);
    TestWriting writing;
    failed += QTest::qExec(&writing, argc, argv);
    TestComments comments;
    failed += QTest::qExec(&comments, argc, argv);
    TestEncodings encodings;
    failed += QTest::qExec(&encodings, argc, argv);
    TestEditProperty property;
    failed += QTest::qExec(&property, argc, argv);
    return failed;
}

#include "tst_inidocument.moc"
