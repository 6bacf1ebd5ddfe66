#include "ui/TAboutBox.h"

#include "platform/ShellOpen.h"
#include "ui/ContactAddresses.h"
#include "ui/HoverLinkLabel.h"
#include "widgets/HelpKey.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral(" Varnel"));
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize); // sized to its contents
    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    ImagePanel = new QFrame(this);
    ImagePanel->setObjectName(QStringLiteral("ImagePanel"));
    ImagePanel->setFrameShape(QFrame::Panel);
    ImagePanel->setFrameShadow(QFrame::Sunken);
    ImagePanel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* imageBox = new QVBoxLayout(ImagePanel);
    imageBox->setContentsMargins(4, 4, 4, 4);
    Image = new QLabel(ImagePanel);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setPixmap(
        QPixmap(QStringLiteral(":/tool/search.png")).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    imageBox->addWidget(Image);
    top->addWidget(ImagePanel, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    top->addLayout(texts);
    const QColor navy(0, 0, 128);
    Label1 = addLabel("Label1", QStringLiteral("Varnel " VARNEL_VERSION));
    QFont large = Label1->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.5);
    Label1->setFont(large);
    Label2 = addLabel("Label2", QStringLiteral("(Очистка системы от ненужных файлов)"));
    for (QLabel* label : {Label1, Label2}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, navy);
        label->setPalette(p);
    }
    Label3 = addLabel("Label3", QStringLiteral("for Windows 9x/Me/NT/2000/XP"));
    Label11 = addLabel("Label11", QStringLiteral("Свободная программа: копируйте и дарите."));
    for (QLabel* label : {Label1, Label2, Label3, Label11})
        texts->addWidget(label);

    UrlLabel = new HoverLinkLabel(ContactAddresses::HomePage(), this);
    UrlLabel->setObjectName(QStringLiteral("UrlLabel"));
    MailLabel = new HoverLinkLabel(ContactAddresses::Mail(), this);
    MailLabel->setObjectName(QStringLiteral("MailLabel"));
    texts->addSpacing(4);
    // A link is only as wide as its text: a click beside it opens nothing.
    texts->addWidget(UrlLabel, 0, Qt::AlignLeft);
    texts->addWidget(MailLabel, 0, Qt::AlignLeft);
    connect(UrlLabel, &HoverLinkLabel::clicked, this, &TAboutBox::UrlLabelClick);
    connect(MailLabel, &HoverLinkLabel::clicked, this, &TAboutBox::MailLabelClick);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(MemoLines().join(u'\n'));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->viewport()->setCursor(Qt::ArrowCursor);
    QPalette face = Memo1->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    Memo1->setPalette(face);
    Memo1->setFixedSize(300, 110);
    outer->addWidget(Memo1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    outer->addWidget(OKButton, 0, Qt::AlignHCenter);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    HelpKey::install(this, QStringLiteral("about.htm"));
    if (parent) {
        adjustSize();
        move(parent->geometry().center() - rect().center());
    }
}

QLabel* TAboutBox::addLabel(const char* name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    return label;
}

QStringList TAboutBox::MemoLines()
{
    return {
        QStringLiteral(" Программа очистки системы от вре-"),
        QStringLiteral("менных и резервных копий файлов."),
        QStringLiteral(" Присылайте замечания и проедложе-"),
        QStringLiteral("ния на Mail : ") + ContactAddresses::Mail(),
        QString(12, u' '),
        QStringLiteral("Автор: команда Varnel"),
        QString(),
        QStringLiteral("Тестирование: "),
        QStringLiteral("пользователи Varnel, приславшие отзывы"),
    };
}

void TAboutBox::FormShow()
{
    OKButton->setFocus();
}

void TAboutBox::UrlLabelClick()
{
    platform::ShellOpen::open(platform::ShellCall{ContactAddresses::HomePage(), platform::ShowCommand::Hide, true});
}

void TAboutBox::MailLabelClick()
{
    platform::ShellOpen::open(platform::ShellCall{ContactAddresses::MailTo(), platform::ShowCommand::Hide, true});
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
