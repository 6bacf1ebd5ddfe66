// Reading and changing INI text the way the Windows profile functions do.

#include "platform/IniDocument.h"

#include <QtTest>

using platform::IniDocument;

class TestIniDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsLikeTheProfileFunctions()
    {
        const IniDocument doc = IniDocument::parse("; comment=1\r\n"
                                                   "[Search]\r\n"
                                                   "  Disk  =  All  \r\n"
                                                   "Disk=second\r\n"
                                                   ";TempFiles=No\r\n"
                                                   "quoted=\"  spaced  \"\r\n"
                                                   "single='x'\r\n"
                                                   "noequals\r\n"
                                                   "empty=\r\n"
                                                   "[ View ]\r\n"
                                                   "XPMenu=No\r\n"
                                                   "[search]\r\n"
                                                   "Late=1\r\n");
        QCOMPARE(doc.value("SEARCH", "disk"), std::optional<QString>("All")); // first of duplicates
        QCOMPARE(doc.value("Search", "TempFiles"), std::nullopt);           // commented out
        QCOMPARE(doc.value("Search", "quoted"), std::optional<QString>("  spaced  "));
        QCOMPARE(doc.value("Search", "single"), std::optional<QString>("x"));
        QCOMPARE(doc.value("Search", "noequals"), std::nullopt);
        QCOMPARE(doc.value("Search", "empty"), std::optional<QString>(""));
        QCOMPARE(doc.value("view", "xpmenu"), std::optional<QString>("No"));
        QCOMPARE(doc.value("Search", "Late"), std::nullopt); // only the first section of a name counts
        QCOMPARE(doc.value("Missing", "x"), std::nullopt);
    }

    void encodingsAndLineEndsAreKept()
    {
        const QByteArray bom = "\xEF\xBB\xBF[View]\nXPMenu=Yes\n";
        IniDocument doc = IniDocument::parse(bom);
        QCOMPARE(doc.value("View", "XPMenu"), std::optional<QString>("Yes"));
        doc.setValue("View", "Separators", "No");
        QCOMPARE(doc.serialize(), QByteArray("\xEF\xBB\xBF[View]\nXPMenu=Yes\nSeparators=No\n"));

        QByteArray utf16("\xFF\xFE");
        const QString text = QStringLiteral("[ExDirs]\r\nDir0=c:\\Документы\r\n");
        utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        doc = IniDocument::parse(utf16);
        QCOMPARE(doc.value("ExDirs", "Dir0"), std::optional<QString>("c:\\Документы"));
        QCOMPARE(doc.serialize(), utf16);

        // Bytes that are not UTF-8 were written by the Windows program in its
        // Cyrillic code page.
        doc = IniDocument::parse("[ExDirs]\r\nDir0=c:\\\xc4\xee\xea\r\n");
        QCOMPARE(doc.value("ExDirs", "Dir0"), std::optional<QString>("c:\\Док"));
        QVERIFY(doc.serialize().startsWith("[ExDirs]\r\n"));
    }

    void newKeysAndSectionsGoToTheEnd()
    {
        IniDocument doc = IniDocument::parse("[Search]\nDisk=All\n\n[Delete]\nRecycle=Yes\n");
        QVERIFY(doc.setValue("search", "TempFiles", "No"));
        QVERIFY(doc.setValue("Window", "Top", "10"));
        QVERIFY(doc.setValue("SEARCH", "disk", "1"));
        QVERIFY(!doc.setValue("Search", "Disk", "1")); // unchanged
        QCOMPARE(doc.serialize(), QByteArray("[Search]\nDisk=1\nTempFiles=No\n\n[Delete]\nRecycle=Yes\n"
                                             "[Window]\nTop=10\n"));
    }

    void valuesCannotInjectLines()
    {
        IniDocument doc;
        doc.setValue("CFilters", "Filter0", "*.tmp\n[Search]\nDisk=9");
        QCOMPARE(doc.value("Search", "Disk"), std::nullopt);
        QCOMPARE(doc.serialize().count('\n'), 2);
    }

    void sectionsAreRemovedWithAllTheirKeys()
    {
        IniDocument doc = IniDocument::parse("[CFilters]\nItems=2\nFilter0=a\n[View]\nXPMenu=Yes\n[cfilters]\nItems=5\n");
        QVERIFY(doc.removeSection("CFILTERS"));
        QVERIFY(!doc.removeSection("CFilters"));
        QCOMPARE(doc.serialize(), QByteArray("[View]\nXPMenu=Yes\n"));
        QCOMPARE(doc.value("CFilters", "Items"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestIniDocument)
#include "tst_inidocument.moc"
