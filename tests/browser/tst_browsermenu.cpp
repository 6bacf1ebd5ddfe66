// The "Internet Explorer" sub-menu of the main window's add-ons menu opens
// the two browser cleaners; on the host (no Shell Folders values) both stay
// open with their first text and delete nothing.

#include "app/TMainForm.h"
#include "app/TMainFormControls.h"
#include "cleaners/browser/TBrowserCleanForm.h"
#include "support/Sandbox.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QtTest>

class TestBrowserMenu : public QObject {
    Q_OBJECT
    Sandbox box;

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(menuimages);
        QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/vrimgs.dll"), box.pathText("bin/vrimgs.dll"));
        qunsetenv("WINEPREFIX");
    }

    void subMenuOpensBothCleaners()
    {
        box.makeFile("c/Cache/a.dat");
        TMainForm form;
        QStringList shown, labels;
        QList<bool> timers;
        form.ShowModal = [&](QDialog& d) {
            shown << d.objectName() + u' ' + d.windowTitle();
            auto& cleaner = static_cast<TBrowserCleanForm&>(d);
            cleaner.FormActivate();
            labels << cleaner.CacheLabel->text();
            timers << cleaner.CloseTimer->isActive();
        };
        QCOMPARE(form.IEmenuItem->title(), QStringLiteral("Internet Explorer"));
        QVERIFY(form.IEmenuItem->actions().contains(form.IECClearMenuItem));
        QVERIFY(form.IEmenuItem->actions().contains(form.ClCookiesMenuItem));
        form.IECClearMenuItem->trigger();
        form.ClCookiesMenuItem->trigger();
        QCOMPARE(shown, (QStringList{"TIECForm  Очистка кеша", "TIECookForm  Очистка Cookies"}));
        QCOMPARE(labels, (QStringList{"Очистка кеша :", "Очистка Cookies :"}));
        QCOMPARE(timers, (QList<bool>{false, false}));
        QVERIFY(box.exists("c/Cache/a.dat"));
    }
};

QTEST_MAIN(TestBrowserMenu)
#include "tst_browsermenu.moc"
