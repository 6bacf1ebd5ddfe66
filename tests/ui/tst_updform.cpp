// The update window and its link control: the text, which runs are links,
// and what a click at each character of a link (and just beside it) opens.

#include "platform/ShellOpen.h"
#include "ui/ContactAddresses.h"
#include "ui/TRichEditWithLinks.h"
#include "ui/TUpdForm.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

using platform::ShellCall;
using platform::ShellOpen;
using platform::ShowCommand;

namespace {

// Scrolls the character at pos into sight and gives a viewport point at dx
// from its left edge (a fraction of its width), on its line's middle.
QPoint pointAt(TRichEditWithLinks* edit, int pos, qreal fraction)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(pos);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    const QTextBlock block = edit->document()->findBlock(pos);
    const QTextLayout* layout = block.layout();
    const int in = pos - block.position();
    const QTextLine line = layout->lineForTextPosition(in);
    const qreal x1 = line.cursorToX(in), x2 = line.cursorToX(in + 1);
    const qreal x = layout->position().x() + x1 + (x2 - x1) * fraction;
    const qreal y = layout->position().y() + line.y() + line.height() / 2;
    return QPoint(int(x) - edit->horizontalScrollBar()->value(), int(y) - edit->verticalScrollBar()->value());
}

QList<bool> anchors(const TRichEditWithLinks* edit)
{
    // One flag per character of the text, line breaks left out.
    QList<bool> result;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            for (int i = 0; i < it.fragment().length(); ++i)
                result.append(it.fragment().charFormat().isAnchor());
    return result;
}

} // namespace

class TestUpdForm : public QObject {
    Q_OBJECT
    QList<ShellCall> calls;

private Q_SLOTS:
    void init()
    {
        calls.clear();
        ShellOpen::setCallHandler([this](const ShellCall& call) {
            calls.append(call);
            return true;
        });
    }
    void cleanup() { ShellOpen::setCallHandler({}); }

    void addressesComeFromTheBuild()
    {
        QCOMPARE(ContactAddresses::HomePage(), QStringLiteral(VARNEL_HOMEPAGE));
        QCOMPARE(ContactAddresses::Mail(), QStringLiteral(VARNEL_MAIL));
        QCOMPARE(ContactAddresses::MailTo(), QStringLiteral("mailto:" VARNEL_MAIL));
    }

    void windowAndTextsAreExact()
    {
        TUpdForm form;
        const QString title = form.windowTitle();
        QCOMPARE(
            title,
            QString::fromUtf8(" O\xd0\xb1\xd0\xbd\xd0\xbe\xd0\xb2\xd0\xbb\xd0\xb5\xd0\xbd\xd0\xb8\xd1\x8f Varnel"));
        QCOMPARE(title.at(1).unicode(), ushort('O')); // Latin, not Cyrillic
        QCOMPARE(form.size(), QSize(394, 399));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form.Infolabel->text(), QStringLiteral("Информация об обновлениях"));
        QVERIFY(form.Infolabel->font().bold());
        QCOMPARE(form.ExitBtn->text(), QStringLiteral("Выход"));
        QCOMPARE(form.Red->size(), QSize(363, 300));
        QVERIFY(form.Red->isReadOnly());
        QCOMPARE(form.findChild<QFrame*>(QStringLiteral("Panel")), form.Panel);

        const QString home = QStringLiteral(VARNEL_HOMEPAGE);
        const QStringList expected = {
            "  Программа  Varnel  постоянно  дополняется  новыми  функциями.",
            "Вы  можете  воспользоваться  данными  ссылками  для  получения",
            "свежих  обновлений  и  информации.",
            "",
            "Домашняя  страница  программы.",
            home,
            "",
            "Последняя  версия  программы , плагины , патчи  и  обновления  ",
            "более  ранних  версий  программы. ",
            home + "/relises/downl.html",
            "",
            "Подробная  информация  о  возможностях  программы  и  работе ",
            "с  ней.",
            home + "/projects/project.html",
            "",
            "История  версий  Varnel.",
            home + "/projects/vrverhist.html",
        };
        QCOMPARE(expected.size(), 17);
        QCOMPARE(form.Red->toPlainText().split(u'\n'), expected);
        QCOMPARE(form.Red->TextRange(0, int(expected[0].size() + 1 + expected[1].size())),
                 expected[0] + "\r\n" + expected[1]);
        QCOMPARE(TUpdForm::LinkTexts(),
                 QStringList({home, home + "/relises/downl.html", home + "/projects/project.html",
                              home + "/projects/vrverhist.html", "mailto: " VARNEL_MAIL}));
    }

    void linksAreFormattedByFirstOccurrenceOnEveryShowing()
    {
        TUpdForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.focusWidget(), form.ExitBtn);
        const QString text = form.Red->toPlainText();
        const QStringList links = TUpdForm::LinkTexts();
        int linked = 0;
        for (int i = 0; i < 4; ++i) {
            const int at = int(text.indexOf(links[i]));
            QVERIFY(at > 0);
            const auto run = form.Red->LinkRunAt(at);
            QCOMPARE(run, std::make_pair(at, at + int(links[i].size())));
            QCOMPARE(form.Red->LinkRunAt(at - 1), std::make_pair(at - 1, at - 1));
            linked += int(links[i].size());
        }
        // The home page is formatted on its own line; the longer links,
        // which begin with it, are formatted whole; the mail link nowhere.
        QCOMPARE(form.Red->LinkRunAt(int(text.indexOf(links[1]))).first, int(text.indexOf(links[1])));
        const QList<bool> first = anchors(form.Red);
        QCOMPARE(int(first.count(true)), linked);
        QTextCursor caret = form.Red->textCursor();
        QCOMPARE(caret.position(), 0);
        QVERIFY(!caret.hasSelection());
        QVERIFY(!form.Red->currentCharFormat().isAnchor());
        QVERIFY(!form.Red->currentCharFormat().fontUnderline());

        form.close();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(anchors(form.Red), first);
    }

    void clicksOpenExactlyTheLinkUnderTheMouse()
    {
        TUpdForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString text = form.Red->toPlainText();
        const QStringList links = TUpdForm::LinkTexts();
        QWidget* viewport = form.Red->viewport();
        for (int i = 0; i < 4; ++i) {
            const int at = int(text.indexOf(links[i]));
            const int last = at + int(links[i].size()) - 1;
            for (int pos : {at, last}) {
                for (qreal fraction : {0.2, 0.8}) {
                    calls.clear();
                    QTest::mouseClick(viewport, Qt::LeftButton, {}, pointAt(form.Red, pos, fraction));
                    QCOMPARE(calls.size(), 1);
                    QCOMPARE(calls[0].target, links[i]);
                    QCOMPARE(calls[0].show, ShowCommand::Hide);
                    QVERIFY(calls[0].withOwner);
                }
            }
            // Just before the first and just after the last character: the
            // margin of the line, which holds no text.
            calls.clear();
            const QPoint before = pointAt(form.Red, at, 0) - QPoint(3, 0);
            QTest::mouseClick(viewport, Qt::LeftButton, {}, before);
            const QPoint after = pointAt(form.Red, last, 1.0) + QPoint(3, 0);
            QTest::mouseClick(viewport, Qt::LeftButton, {}, after);
            QVERIFY2(calls.isEmpty(), qPrintable(links[i]));
            // The line above the link is plain text.
            QTest::mouseClick(viewport, Qt::LeftButton, {}, pointAt(form.Red, at - 2, 0.5));
            QVERIFY(calls.isEmpty());
        }
        QTest::mouseClick(viewport, Qt::LeftButton, {}, pointAt(form.Red, 5, 0.5));
        QTest::mouseClick(viewport, Qt::RightButton, {}, pointAt(form.Red, int(text.indexOf(links[1])), 0.5));
        QVERIFY(calls.isEmpty());
    }

    void onlyTheLinkTextsAreOpened()
    {
        TUpdForm form;
        const QStringList links = TUpdForm::LinkTexts();
        form.RedHyperlinkClicked(form.Red, 0, 5, QStringLiteral("file:///etc/passwd"));
        form.RedHyperlinkClicked(form.Red, 0, 5, links[0].toUpper());
        form.RedHyperlinkClicked(form.Red, 0, 5, links[0] + u' ');
        QVERIFY(calls.isEmpty());
        for (const QString& link : links)
            form.RedHyperlinkClicked(form.Red, 0, 5, link);
        QCOMPARE(calls.size(), 5);
        QCOMPARE(calls[4].target, QStringLiteral("mailto: " VARNEL_MAIL));
    }

    void exitButtonCloses()
    {
        TUpdForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.ExitBtn, Qt::LeftButton);
        QVERIFY(!form.isVisible());
    }

    void linkControlReportsRunsAndStylesSelections()
    {
        TRichEditWithLinks edit;
        edit.resize(400, 200);
        edit.setPlainText(QStringLiteral("plain LINK text\nsecond"));
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(6);
        cursor.setPosition(10, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
        edit.SetLinkStyle(true);
        QTextCursor probe(edit.document());
        probe.setPosition(7);
        QVERIFY(probe.charFormat().isAnchor());
        QVERIFY(probe.charFormat().fontUnderline());
        QCOMPARE(probe.charFormat().foreground().color(), QColor(0, 0, 255));

        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QList<std::tuple<QObject*, int, int, QString>> seen;
        // No handler: a click is an ordinary click.
        QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, pointAt(&edit, 7, 0.5));
        edit.OnHyperlinkClicked = [&](QObject* s, int a, int b, const QString& t) { seen.append({s, a, b, t}); };
        for (int pos : {6, 9})
            QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, pointAt(&edit, pos, 0.5));
        for (int pos : {5, 10, 16})
            QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, pointAt(&edit, pos, 0.5));
        QCOMPARE(seen.size(), 2);
        for (const auto& event : seen)
            QCOMPARE(event, std::make_tuple(static_cast<QObject*>(&edit), 6, 10, QStringLiteral("LINK")));

        // Off takes the link away again, back to the control's colour.
        cursor.setPosition(6);
        cursor.setPosition(10, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
        edit.SetLinkStyle(false);
        probe.setPosition(7);
        QVERIFY(!probe.charFormat().isAnchor());
        QVERIFY(!probe.charFormat().fontUnderline());
        QCOMPARE(probe.charFormat().foreground().color(), edit.palette().color(QPalette::Text));
        QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, pointAt(&edit, 7, 0.5));
        QCOMPARE(seen.size(), 2);
    }
};

QTEST_MAIN(TestUpdForm)
#include "tst_updform.moc"
