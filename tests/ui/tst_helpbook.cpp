// The help book and the help window: every page reachable from the start
// page, no broken link, back and forward, outside links to the shell, F1 in
// every window, and a missing or damaged library that shows nothing.

#include "app/TMainForm.h"
#include "app/TReportForm.h"
#include "cleaners/files/TEDirForm.h"
#include "cleaners/files/TEFileForm.h"
#include "cleaners/files/TLinkForm.h"
#include "platform/KnownFolders.h"
#include "platform/ShellOpen.h"
#include "settings/TOptionsForm.h"
#include "support/Sandbox.h"
#include "ui/HelpBook.h"
#include "ui/HelpBrowser.h"
#include "ui/TAboutBox.h"
#include "ui/THelpForm.h"
#include "ui/TUpdForm.h"
#include "widgets/HelpKey.h"

#include <QAction>
#include <QRegularExpression>
#include <QTextBlock>
#include <QToolBar>
#include <QtTest>

using platform::ShellCall;
using platform::ShellOpen;
using platform::ShowCommand;

namespace {

// The link targets of the shown page, as the document holds them.
QStringList linksOf(const QTextDocument* document)
{
    QStringList links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty() && !links.contains(format.anchorHref()))
                links.append(format.anchorHref());
        }
    return links;
}

QStringList topLevelHelpWindows()
{
    QStringList names;
    for (QWidget* w : QApplication::allWidgets())
        if (qobject_cast<THelpForm*>(w))
            names << w->objectName();
    return names;
}

} // namespace

class TestHelpBook : public QObject {
    Q_OBJECT
    Sandbox box;
    QList<ShellCall> calls;

    QString address(const QString& page) const { return HelpKey::address(page); }
    QByteArray library() const { return box.path("bin/vrhelp.dll"); }

    void installBook()
    {
        QFile::remove(box.pathText("bin/vrhelp.dll"));
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/vrhelp.dll"), box.pathText("bin/vrhelp.dll")));
    }

    void closeHelpWindows()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<THelpForm*>(w))
                delete w;
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(menuimages);
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/vrimgs.dll"), box.pathText("bin/vrimgs.dll")));
    }

    void init()
    {
        installBook();
        calls.clear();
        ShellOpen::setResourceHandler(&THelpForm::OpenAddress);
        // Outside addresses are recorded; res:// ones still reach the viewer.
        ShellOpen::setCallHandler([this](const ShellCall& call) {
            calls.append(call);
            return call.target.startsWith(QLatin1String("res://")) && THelpForm::OpenAddress(call.target);
        });
    }

    void cleanup()
    {
        ShellOpen::setCallHandler({});
        closeHelpWindows();
    }

    void addressesAreSplitIntoLibraryAndPage()
    {
        QString page;
        auto book = HelpBook::fromAddress(QStringLiteral("res://c:\\prog dir\\vrhelp.dll/search.htm"), &page);
        QVERIFY(book);
        QCOMPARE(book->library(), QStringLiteral("c:\\prog dir\\vrhelp.dll"));
        QCOMPARE(page, QStringLiteral("search.htm"));
        book = HelpBook::fromAddress(QStringLiteral("RES://c:\\a\\VRHELP.DLL"), &page);
        QVERIFY(book);
        QCOMPARE(book->library(), QStringLiteral("c:\\a\\VRHELP.DLL"));
        QCOMPARE(page, QStringLiteral("index.htm"));
        QVERIFY(!HelpBook::fromAddress(QStringLiteral("http://example.org/x.dll/a.htm")));
        QVERIFY(!HelpBook::fromAddress(QStringLiteral("res://")));
        QVERIFY(HelpKey::address(QStringLiteral("a.htm"))
                    .startsWith(QStringLiteral("res://") + platform::KnownFolders::appDir()));
        QVERIFY(HelpKey::address(QStringLiteral("a.htm")).endsWith(QStringLiteral("\\vrhelp.dll/a.htm")));
    }

    void helpOpensMaximizedOnTheStartPage()
    {
        QVERIFY(THelpForm::OpenAddress(address(QStringLiteral("index.htm"))));
        THelpForm* window = THelpForm::Current();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(window->windowState() & Qt::WindowMaximized);
        QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose)); // never keeps the program running
        QCOMPARE(HelpBrowser::PageOf(window->HelpView->source()), QStringLiteral("index.htm"));
        QVERIFY(window->HelpView->toPlainText().contains(QStringLiteral("Varnel")));
        QCOMPARE(window->windowTitle(), QStringLiteral(" Справка Varnel")); // the book's name once
        QVERIFY(!window->BackAction->isEnabled());
        // The book's style sheet is read from the book too.
        QTextCursor warning = window->HelpView->document()->find(QStringLiteral("Прежде чем удалять"));
        QVERIFY(!warning.isNull());
        QCOMPARE(warning.charFormat().foreground().color(), QColor(0xa0, 0, 0));

        // A second address reuses the window.
        QVERIFY(THelpForm::OpenAddress(address(QStringLiteral("about.htm"))));
        QCOMPARE(THelpForm::Current(), window);
        QCOMPARE(HelpBrowser::PageOf(window->HelpView->source()), QStringLiteral("about.htm"));
        QCOMPARE(window->windowTitle(), QStringLiteral(" Справка Varnel - О программе"));
        QCOMPARE(topLevelHelpWindows().size(), 1);
    }

    // Qt's pop-up on the tool bar would offer to hide the bar, the only way
    // back and forth.
    void theHelpBarOpensNoPopupMenu()
    {
        QVERIFY(THelpForm::OpenAddress(address(QStringLiteral("index.htm"))));
        THelpForm* window = THelpForm::Current();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QStringList opened;
        QTimer closer;
        connect(&closer, &QTimer::timeout, window, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened << popup->objectName();
                popup->close();
            }
        });
        closer.start(0);
        const QPoint at(window->HelpBar->width() - 3, window->HelpBar->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->HelpBar->mapToGlobal(at));
        QApplication::sendEvent(window->HelpBar, &event);
        QCoreApplication::processEvents();
        closer.stop();
        QVERIFY2(opened.isEmpty(), qPrintable(opened.join(u',')));
        QVERIFY(window->HelpBar->isVisible());
    }

    void everyPageIsReachableAndNoLinkIsBroken()
    {
        QVERIFY(THelpForm::OpenAddress(address(QStringLiteral("index.htm"))));
        HelpBrowser* view = THelpForm::Current()->HelpView;
        const HelpBook book = *HelpBook::fromAddress(address(QStringLiteral("index.htm")));

        QStringList queue = {QStringLiteral("index.htm")}, seen = queue, outside;
        while (!queue.isEmpty()) {
            const QString current = queue.takeFirst();
            view->FollowLink(HelpBrowser::PageUrl(current));
            QCOMPARE(HelpBrowser::PageOf(view->source()), current);
            QVERIFY2(!view->documentTitle().isEmpty(), qPrintable(current + " has no title"));
            QVERIFY2(view->toPlainText().size() > 200, qPrintable(current + " says next to nothing"));
            const QString html = QString::fromUtf8(book.read(current));
            QVERIFY2(html.contains(QLatin1String("href=\"help.css\"")), qPrintable(current));
            for (const QString& href : linksOf(view->document())) {
                const QUrl target = view->source().resolved(QUrl(href));
                const QString linked = HelpBrowser::PageOf(target);
                if (linked.isEmpty()) {
                    outside << href;
                    continue;
                }
                QVERIFY2(book.has(linked), qPrintable(current + " links to missing " + href));
                if (target.hasFragment()) {
                    const QString targetHtml = QString::fromUtf8(book.read(linked));
                    const QString frag = target.fragment();
                    QVERIFY2(targetHtml.contains("name=\"" + frag + "\"") || targetHtml.contains("id=\"" + frag + "\""),
                             qPrintable(current + " links to missing anchor " + href));
                }
                if (!seen.contains(linked)) {
                    seen << linked;
                    queue << linked;
                }
            }
        }
        // Every page of the book is reachable from the start page.
        QDir sources(QStringLiteral(VARNEL_HELP_SOURCES));
        const QStringList pages = sources.entryList({QStringLiteral("*.htm")}, QDir::Files);
        QVERIFY(pages.size() >= 20);
        for (const QString& p : pages)
            QVERIFY2(seen.contains(p), qPrintable(p + " cannot be reached from index.htm"));
        // The outside links are the program's addresses.
        QVERIFY(!outside.isEmpty());
        for (const QString& href : outside)
            QVERIFY2(href.startsWith(QLatin1String(VARNEL_HOMEPAGE)) || href == QLatin1String("mailto:" VARNEL_MAIL),
                     qPrintable(href));
    }

    void linksBackForwardAndOutsideAddresses()
    {
        QVERIFY(THelpForm::OpenAddress(address(QStringLiteral("index.htm"))));
        THelpForm* window = THelpForm::Current();
        HelpBrowser* view = window->HelpView;
        view->FollowLink(QUrl(QStringLiteral("search.htm")));
        view->FollowLink(QUrl(QStringLiteral("delete.htm")));
        QCOMPARE(HelpBrowser::PageOf(view->source()), QStringLiteral("delete.htm"));
        QVERIFY(window->BackAction->isEnabled());
        window->BackAction->trigger();
        QCOMPARE(HelpBrowser::PageOf(view->source()), QStringLiteral("search.htm"));
        QVERIFY(window->ForwardAction->isEnabled());
        window->ForwardAction->trigger();
        QCOMPARE(HelpBrowser::PageOf(view->source()), QStringLiteral("delete.htm"));
        window->ContentsAction->trigger();
        QCOMPARE(HelpBrowser::PageOf(view->source()), QStringLiteral("index.htm"));

        // A link to a page the book lacks leaves the page as it is.
        view->FollowLink(QUrl(QStringLiteral("no-such-page.htm")));
        QCOMPARE(HelpBrowser::PageOf(view->source()), QStringLiteral("index.htm"));

        calls.clear();
        view->FollowLink(QUrl(QStringLiteral(VARNEL_HOMEPAGE)));
        view->FollowLink(QUrl(QStringLiteral("mailto:" VARNEL_MAIL)));
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].target, QStringLiteral(VARNEL_HOMEPAGE));
        QCOMPARE(calls[1].target, QStringLiteral("mailto:" VARNEL_MAIL));
        QCOMPARE(HelpBrowser::PageOf(view->source()), QStringLiteral("index.htm"));

        // A click on a link in the page follows it.
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QString text = view->toPlainText();
        QTextCursor found = view->document()->find(QStringLiteral("Удаление найденных файлов"));
        QVERIFY2(!found.isNull(), "index.htm names the deletion page");
        QTextCursor at(view->document());
        at.setPosition(found.selectionStart() + 2);
        view->setTextCursor(at);
        view->ensureCursorVisible();
        const QRect r = view->cursorRect(at);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
        QTRY_COMPARE(HelpBrowser::PageOf(view->source()), QStringLiteral("delete.htm"));
        Q_UNUSED(text);
    }

    void missingOrDamagedLibraryShowsNothing()
    {
        const QByteArray good = box.read("bin/vrhelp.dll");
        QVERIFY(good.startsWith("qres"));
        const QList<QByteArray> damaged = {QByteArray(), QByteArray("MZ\x90\x00 not a bundle", 18),
                                           QByteArray("qres") + QByteArray(60, '\xff'), good.left(good.size() / 2),
                                           good.left(40)};
        for (int i = -1; i < damaged.size(); ++i) {
            QFile::remove(box.pathText("bin/vrhelp.dll"));
            if (i >= 0)
                box.makeFile("bin/vrhelp.dll", damaged[i]);
            calls.clear();
            HelpKey::open(QStringLiteral("index.htm"));
            QCOMPARE(calls.size(), 1);
            QVERIFY(!THelpForm::OpenAddress(address(QStringLiteral("index.htm"))));
            QVERIFY2(topLevelHelpWindows().isEmpty(), qPrintable(QString::number(i)));
            QVERIFY(box.boxes.isEmpty());
        }
        // The main window's command, through the program's own viewer.
        ShellOpen::setCallHandler({});
        TMainForm form;
        form.HelpMItemClick();
        QVERIFY(topLevelHelpWindows().isEmpty());
        installBook();
        form.HelpMItemClick();
        QCOMPARE(topLevelHelpWindows().size(), 1);
        // A page the book lacks shows nothing either, and keeps the window.
        QVERIFY(!THelpForm::OpenAddress(address(QStringLiteral("nothing.htm"))));
        QCOMPARE(HelpBrowser::PageOf(THelpForm::Current()->HelpView->source()), QStringLiteral("index.htm"));
    }

    void f1InEveryWindowOpensItsPage()
    {
        TMainForm main;
        main.ShowModal = [](QDialog&) {};
        QList<std::pair<QWidget*, QString>> windows;
        auto* options = new TOptionsForm(&main);
        auto* report = new TReportForm(&main);
        auto* dirs = new TEDirForm(&main);
        auto* zero = new TEFileForm(&main);
        auto* links = new TLinkForm(&main);
        auto* upd = new TUpdForm(&main);
        auto* about = new TAboutBox(&main);
        windows = {{options, "options.htm"}, {report, "estimate.htm"}, {dirs, "emptydirs.htm"}, {zero, "zerobytes.htm"},
                   {links, "shortcuts.htm"}, {upd, "update.htm"},      {about, "about.htm"}};
        HelpBook book = *HelpBook::fromAddress(address(QStringLiteral("index.htm")));
        for (const auto& [window, page] : windows) {
            calls.clear();
            window->show();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window, Qt::Key_F1);
            QCOMPARE(calls.size(), 1);
            QCOMPARE(calls[0].target, address(page));
            QCOMPARE(calls[0].show, ShowCommand::Maximized);
            QVERIFY2(book.has(page), qPrintable(page));
            window->close();
            closeHelpWindows();
        }
        // The main window's F1 is its help command.
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        calls.clear();
        QTest::keyClick(&main, Qt::Key_F1);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].target, address(QStringLiteral("index.htm")));
    }

    void helpFromAModalDialogBelongsToIt()
    {
        TAboutBox about;
        bool checked = false;
        QTimer::singleShot(0, &about, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&about));
            QTest::keyClick(&about, Qt::Key_F1);
            THelpForm* window = THelpForm::Current();
            checked = window && window->parentWidget() == &about && window->isVisible();
            about.reject();
        });
        about.exec();
        QVERIFY(checked);
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(TestHelpBook)
#include "tst_helpbook.moc"
