#include "ui/TUpdForm.h"

#include "platform/ShellOpen.h"
#include "ui/ContactAddresses.h"
#include "ui/TRichEditWithLinks.h"
#include "widgets/HelpKey.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

TUpdForm::TUpdForm(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                  | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TUpdForm"));
    setWindowTitle(QStringLiteral(" Oбновления Varnel")); // a Latin O, as the window always had
    setFixedSize(394, 399);

    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Raised);
    Panel->setGeometry(8, 8, 378, 345);

    Infolabel = new QLabel(QStringLiteral("Информация об обновлениях"), Panel);
    Infolabel->setObjectName(QStringLiteral("Infolabel"));
    QFont bold = Infolabel->font();
    bold.setBold(true);
    Infolabel->setFont(bold);
    Infolabel->setGeometry(8, 8, 360, 18);

    Red = new TRichEditWithLinks(Panel);
    Red->setObjectName(QStringLiteral("Red"));
    Red->setGeometry(7, 34, 363, 300);
    Red->setPlainText(TextLines().join(u'\n'));
    Red->OnHyperlinkClicked = [this](QObject* sender, int cpMin, int cpMax, const QString& text) {
        RedHyperlinkClicked(sender, cpMin, cpMax, text);
    };

    ExitBtn = new QPushButton(QStringLiteral("Выход"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    ExitBtn->setGeometry(311, 362, 75, 25);
    connect(ExitBtn, &QPushButton::clicked, this, &TUpdForm::ExitBtnClick);

    HelpKey::install(this, QStringLiteral("update.htm"));
    if (parent)
        move(parent->geometry().center() - rect().center());
}

QStringList TUpdForm::TextLines()
{
    const QString home = ContactAddresses::HomePage();
    return {
        QStringLiteral("  Программа  Varnel  постоянно  дополняется  новыми  функциями."),
        QStringLiteral("Вы  можете  воспользоваться  данными  ссылками  для  получения"),
        QStringLiteral("свежих  обновлений  и  информации."),
        QString(),
        QStringLiteral("Домашняя  страница  программы."),
        home,
        QString(),
        QStringLiteral("Последняя  версия  программы , плагины , патчи  и  обновления  "),
        QStringLiteral("более  ранних  версий  программы. "),
        home + QStringLiteral("/relises/downl.html"),
        QString(),
        QStringLiteral("Подробная  информация  о  возможностях  программы  и  работе "),
        QStringLiteral("с  ней."),
        home + QStringLiteral("/projects/project.html"),
        QString(),
        QStringLiteral("История  версий  Varnel."),
        home + QStringLiteral("/projects/vrverhist.html"),
    };
}

QStringList TUpdForm::LinkTexts()
{
    const QString home = ContactAddresses::HomePage();
    return {home, home + QStringLiteral("/relises/downl.html"), home + QStringLiteral("/projects/project.html"),
            home + QStringLiteral("/projects/vrverhist.html"), QStringLiteral("mailto: ") + ContactAddresses::Mail()};
}

void TUpdForm::FormShow()
{
    ExitBtn->setFocus();
    // Positions are the control's own, one per line break: the text is
    // searched as the control holds it, so the selection lands on the link.
    const QString text = Red->toPlainText();
    for (const QString& link : LinkTexts()) {
        const qsizetype at = text.indexOf(link);
        if (at < 0)
            continue;
        QTextCursor cursor = Red->textCursor();
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + link.size()), QTextCursor::KeepAnchor);
        Red->setTextCursor(cursor);
        Red->SetLinkStyle(true);
    }
    QTextCursor start = Red->textCursor();
    start.setPosition(0);
    Red->setTextCursor(start);
    Red->SetLinkStyle(false);
}

void TUpdForm::RedHyperlinkClicked(QObject*, int, int, const QString& lpstrText)
{
    if (LinkTexts().contains(lpstrText))
        platform::ShellOpen::open(platform::ShellCall{lpstrText, platform::ShowCommand::Hide, true});
}

void TUpdForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
