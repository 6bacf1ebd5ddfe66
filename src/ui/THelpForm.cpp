#include "ui/THelpForm.h"

#include "ui/HelpBook.h"
#include "ui/HelpBrowser.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>

namespace {

QPointer<THelpForm>& current()
{
    static QPointer<THelpForm> window;
    return window;
}

QString contentsPage()
{
    return QStringLiteral("index.htm");
}

} // namespace

THelpForm::THelpForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("THelpForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the program even while help is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral(" Справка Varnel"));
    resize(800, 600);
    HelpView = new HelpBrowser(this);
    HelpView->setObjectName(QStringLiteral("HelpView"));
    setCentralWidget(HelpView);

    HelpBar = addToolBar(QStringLiteral("Справка"));
    HelpBar->setObjectName(QStringLiteral("HelpBar"));
    HelpBar->setMovable(false);
    // Qt's pop-up on the bar offers to hide it, and the bar is the only way
    // back and forth: there is nothing to choose there.
    HelpBar->setContextMenuPolicy(Qt::PreventContextMenu);
    HelpBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BackAction = HelpBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Назад"));
    BackAction->setObjectName(QStringLiteral("BackAction"));
    BackAction->setShortcut(QKeySequence::Back);
    ForwardAction = HelpBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Вперед"));
    ForwardAction->setObjectName(QStringLiteral("ForwardAction"));
    ForwardAction->setShortcut(QKeySequence::Forward);
    ContentsAction = HelpBar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Содержание"));
    ContentsAction->setObjectName(QStringLiteral("ContentsAction"));
    BackAction->setEnabled(false);
    ForwardAction->setEnabled(false);

    connect(BackAction, &QAction::triggered, HelpView, &QTextBrowser::backward);
    connect(ForwardAction, &QAction::triggered, HelpView, &QTextBrowser::forward);
    connect(ContentsAction, &QAction::triggered, HelpView,
            [this] { HelpView->FollowLink(HelpBrowser::PageUrl(contentsPage())); });
    connect(HelpView, &QTextBrowser::backwardAvailable, BackAction, &QAction::setEnabled);
    connect(HelpView, &QTextBrowser::forwardAvailable, ForwardAction, &QAction::setEnabled);
    connect(HelpView, &QTextBrowser::sourceChanged, this, &THelpForm::updateTitle);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void THelpForm::updateTitle()
{
    // The start page is titled like the book: its name once, not twice.
    const QString book = QStringLiteral("Справка Varnel");
    const QString title = HelpView->documentTitle().trimmed();
    setWindowTitle(title.isEmpty() || title == book ? u' ' + book : u' ' + book + QStringLiteral(" - ") + title);
}

THelpForm* THelpForm::Current()
{
    return current();
}

bool THelpForm::OpenAddress(const QString& address)
{
    QString page;
    const std::optional<HelpBook> book = HelpBook::fromAddress(address, &page);
    if (!book || !book->has(page))
        return false;
    // Under a running modal dialog only that dialog and its own windows
    // take input: the help window then belongs to the dialog.
    QWidget* owner = QApplication::activeModalWidget();
    THelpForm* window = current();
    if (window && window->parentWidget() != owner) {
        window->close();
        window = nullptr;
    }
    if (!window) {
        window = new THelpForm(owner);
        current() = window;
    }
    if (!window->HelpView->ShowPage(*book, page))
        return false;
    // Where no window manager honours the maximized state, the window
    // still covers the screen.
    QWidget* near = owner ? owner : QApplication::activeWindow();
    if (QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
    window->raise();
    window->activateWindow();
    return true;
}
