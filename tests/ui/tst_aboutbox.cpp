// The about box and the help menu of the main window: texts, the link
// labels' look, and the shell calls every command makes.

#include "app/TMainForm.h"
#include "platform/ShellOpen.h"
#include "core/Context.h"
#include "core/Disposal.h"
#include "support/Sandbox.h"
#include "ui/HoverLinkLabel.h"
#include "ui/TAboutBox.h"
#include "ui/TUpdForm.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using platform::ShellCall;
using platform::ShellOpen;
using platform::ShowCommand;

class TestAboutBox : public QObject {
    Q_OBJECT
    Sandbox box;
    QList<ShellCall> calls;

    static QString text(const TAboutBox& about, const char* name)
    {
        return about.findChild<QLabel*>(QLatin1String(name))->text();
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(menuimages);
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_BUILD_BIN "/vrimgs.dll"), box.pathText("bin/vrimgs.dll")));
    }
    void init()
    {
        calls.clear();
        ShellOpen::setCallHandler([this](const ShellCall& call) {
            calls.append(call);
            return true;
        });
    }
    void cleanup() { ShellOpen::setCallHandler({}); }

    void labelsAndMemoAreExact()
    {
        TAboutBox about;
        QCOMPARE(about.windowTitle(), QStringLiteral(" Varnel"));
        QCOMPARE(text(about, "Label1"), QStringLiteral("Varnel 1.9"));
        QVERIFY(about.Label1->font().bold());
        QVERIFY(about.Label1->font().pointSizeF() > about.Label3->font().pointSizeF());
        QCOMPARE(about.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(about.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QVERIFY(text(about, "Label2").startsWith(u'(') && text(about, "Label2").endsWith(u')'));
        QCOMPARE(text(about, "Label3"), QStringLiteral("for Windows 9x/Me/NT/2000/XP"));
        QVERIFY(!text(about, "Label11").isEmpty());
        QVERIFY(!about.Image->pixmap().isNull());
        QCOMPARE(text(about, "UrlLabel"), QStringLiteral(VARNEL_HOMEPAGE));
        QCOMPARE(text(about, "MailLabel"), QStringLiteral(VARNEL_MAIL));
        QCOMPARE(about.OKButton->text(), QStringLiteral("OK"));
        QVERIFY(about.OKButton->isDefault());

        const QStringList lines = about.Memo1->toPlainText().split(u'\n');
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[0], QStringLiteral(" Программа очистки системы от вре-"));
        QCOMPARE(lines[1], QStringLiteral("менных и резервных копий файлов."));
        QCOMPARE(lines[2], QStringLiteral(" Присылайте замечания и проедложе-"));
        QCOMPARE(lines[3], QStringLiteral("ния на Mail : " VARNEL_MAIL));
        QCOMPARE(lines[4], QStringLiteral("            "));
        QVERIFY(lines[5].startsWith(QStringLiteral("Автор: ")) && lines[5].size() > 7);
        QCOMPARE(lines[6], QString());
        QCOMPARE(lines[7], QStringLiteral("Тестирование: "));
        QVERIFY(!lines[8].trimmed().isEmpty());
        QVERIFY(about.Memo1->isReadOnly());
        QCOMPARE(about.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(about.Memo1->palette().color(QPalette::Base), about.palette().color(QPalette::Button));
        QCOMPARE(about.Memo1->viewport()->cursor().shape(), Qt::ArrowCursor);
    }

    void linkLabelsLookLikeLinksAndOpenThroughTheShell()
    {
        TAboutBox about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.focusWidget(), about.OKButton);
        QCOMPARE(about.size(), about.sizeHint().expandedTo(about.minimumSize()));
        QCOMPARE(about.minimumSize(), about.maximumSize()); // sized to its contents, fixed
        for (HoverLinkLabel* label : {about.UrlLabel, about.MailLabel}) {
            QVERIFY(label->font().bold());
            QVERIFY(label->font().underline());
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(label->textColour(), QColor(0, 0, 255));
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)));
            QCoreApplication::sendEvent(label, &enter);
            QCOMPARE(label->textColour(), QColor(0, 128, 0));
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(label, &leave);
            QCOMPARE(label->textColour(), QColor(0, 0, 255));
        }
        // A link is as wide as its text, so a click beside it opens nothing.
        for (HoverLinkLabel* label : {about.UrlLabel, about.MailLabel}) {
            QCOMPARE(label->width(), label->sizeHint().width());
            const QPoint beside(label->x() + label->sizeHint().width() + 4, label->geometry().center().y());
            QVERIFY(beside.x() < about.Label11->geometry().right()); // still inside the column of texts
            QWidget* hit = about.childAt(beside);
            QTest::mouseClick(hit ? hit : &about, Qt::LeftButton, {}, hit ? hit->mapFrom(&about, beside) : beside);
        }
        QCOMPARE(calls.size(), 0);
        QTest::mouseClick(about.UrlLabel, Qt::LeftButton);
        QTest::mouseClick(about.MailLabel, Qt::LeftButton);
        QTest::mouseClick(about.Label3, Qt::LeftButton);
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].target, QStringLiteral(VARNEL_HOMEPAGE));
        QCOMPARE(calls[1].target, QStringLiteral("mailto:" VARNEL_MAIL));
        for (const ShellCall& call : calls) {
            QCOMPARE(call.show, ShowCommand::Hide);
            QVERIFY(call.withOwner);
        }
        QTest::mouseClick(about.OKButton, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
    }

    void helpMenuCommandsCallTheShellAndOpenTheirWindows()
    {
        TMainForm form;
        QStringList shown;
        form.ShowModal = [&](QDialog& dialog) {
            shown << dialog.objectName();
            if (auto* upd = qobject_cast<TUpdForm*>(&dialog))
                QCOMPARE(upd->parentWidget(), &form);
        };
        QCOMPARE(form.HelpMItem->shortcut(), QKeySequence(Qt::Key_F1));
        form.HelpMItem->trigger();
        form.HomepageMenuItem->trigger();
        form.MailMenuItem->trigger();
        form.UpdateMenuItem->trigger();
        form.AboutMenuItem->trigger();
        QCOMPARE(shown, QStringList({"TUpdForm", "TAboutBox"}));
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls[0].target, QStringLiteral("res://") + GetAppDir() + QStringLiteral("vrhelp.dll/index.htm"));
        QVERIFY(GetAppDir().endsWith(u'\\'));
        QCOMPARE(calls[0].show, ShowCommand::Maximized);
        QVERIFY(!calls[0].withOwner);
        QCOMPARE(calls[1].target, QStringLiteral(VARNEL_HOMEPAGE));
        QCOMPARE(calls[2].target, QStringLiteral("mailto:" VARNEL_MAIL));
        for (int i : {1, 2}) {
            QCOMPARE(calls[i].show, ShowCommand::Hide);
            QVERIFY(calls[i].withOwner);
        }
    }

    void helpSwallowsAFailingShell()
    {
        TMainForm form;
        ShellOpen::setCallHandler([](const ShellCall&) -> bool { throw std::runtime_error("no opener"); });
        form.HelpMItemClick(); // must not throw
        QVERIFY(box.boxes.isEmpty());
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
