// Wildcard masks read the way the Windows file search reads them.

#include "formats/MaskMatcher.h"

#include <QtTest>

using formats::MaskMatcher;

class TestMaskMatcher : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matchesLikeTheFileSearch_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("expected");
        QTest::newRow("star matches all") << "*"
                                          << "anything.at.all" << true;
        QTest::newRow("star-dot-star matches a name without a dot") << "*.*"
                                                                    << "noext" << true;
        QTest::newRow("suffix ignores case") << "*.tmp"
                                             << "X.TMP" << true;
        QTest::newRow("suffix is anchored at the end") << "*.tmp"
                                                       << "x.tmpx" << false;
        QTest::newRow("suffix longer than the name") << "*.tmp"
                                                     << "tmp" << false;
        QTest::newRow("suffix is the whole name") << "*.tmp"
                                                  << ".tmp" << true;
        QTest::newRow("exact ignores case") << "NOEXT"
                                            << "noext" << true;
        QTest::newRow("exact needs the same length") << "noext"
                                                     << "noext2" << false;
        QTest::newRow("question marks one each") << "??.txt"
                                                 << "ab.txt" << true;
        QTest::newRow("question marks not three") << "??.txt"
                                                  << "abc.txt" << false;
        QTest::newRow("question mark never empty") << "a?"
                                                   << "a" << false;
        QTest::newRow("question mark matches a dot") << "a?b"
                                                     << "a.b" << true;
        QTest::newRow("inner star may be empty") << "A*C.TXT"
                                                 << "ac.txt" << true;
        QTest::newRow("inner star spans") << "A*C.TXT"
                                          << "abbbc.txt" << true;
        QTest::newRow("inner star wrong tail") << "A*C.TXT"
                                               << "abd.txt" << false;
        QTest::newRow("star needs backtracking") << "*ab*ab"
                                                 << "xabyabzab" << true;
        QTest::newRow("backtracking finds no match") << "*ab*abc"
                                                     << "xabyabzab" << false;
        QTest::newRow("cyrillic folds") << "*.ТМП"
                                        << "файл.тмп" << true;
        QTest::newRow("cyrillic pattern folds") << "Ф?Й*"
                                                << "файл" << true;
        QTest::newRow("empty mask matches nothing") << ""
                                                    << "" << false;
        QTest::newRow("empty mask not even a name") << ""
                                                    << "a" << false;
        QTest::newRow("trailing stars are optional") << "ab**"
                                                     << "ab" << true;
        // A name may hold '*' and '?' (on the host it can): the mask's star
        // stays a wildcard even where the name has a star of its own.
        QTest::newRow("star after a name's star") << "a*"
                                                  << "a*b" << true;
        QTest::newRow("star spans a name's stars") << "a*b"
                                                   << "a**b" << true;
        QTest::newRow("star then one more") << "a*?"
                                            << "a*" << true;
        QTest::newRow("star between a name's stars") << "*a*"
                                                     << "**a**" << true;
        QTest::newRow("star with a tail the name lacks") << "a*b"
                                                         << "a*" << false;
        QTest::newRow("literal part after a name's star") << "x*y*z"
                                                          << "x*z*y*z" << true;
        QTest::newRow("question mark takes a name's star") << "a?c"
                                                           << "a*c" << true;
        QTest::newRow("a name's question mark") << "*?"
                                                << "?" << true;
    }

    void matchesLikeTheFileSearch()
    {
        QFETCH(QString, mask);
        QFETCH(QString, name);
        QFETCH(bool, expected);
        QCOMPARE(formats::MaskMatcher(mask).matches(name), expected);
        QCOMPARE(formats::MaskMatcher::match(mask, name), expected);
    }

    void onlyEveryNameMasksMatchAll()
    {
        QVERIFY(formats::MaskMatcher(QStringLiteral("*")).matchesAll());
        QVERIFY(formats::MaskMatcher(QStringLiteral("*.*")).matchesAll());
        QVERIFY(!formats::MaskMatcher(QStringLiteral("*.tmp")).matchesAll());
        QVERIFY(!formats::MaskMatcher(QStringLiteral("a*")).matchesAll());
        QVERIFY(!formats::MaskMatcher(QString()).matchesAll());
    }

    void aHostileMaskEndsWithTheRightAnswer()
    {
        // Many stars against a long run that almost matches: the matcher
        // must not recurse per star, and it must still say no.
        const QString mask = QString(QStringLiteral("*a")).repeated(200) + QStringLiteral("b");
        const QString name(5000, u'a');
        QVERIFY(!formats::MaskMatcher(mask).matches(name));
        QVERIFY(formats::MaskMatcher(mask).matches(name + QStringLiteral("b")));
    }
};

QTEST_GUILESS_MAIN(TestMaskMatcher)
#include "tst_maskmatcher.moc"
