#pragma once
// The program's help window: the pages of a help book, with back, forward
// and contents buttons. It opens maximized on a res:// address; one window
// serves every address, and a window opened while a modal dialog runs
// belongs to that dialog so that it can take input.

#include <QMainWindow>
#include <QPointer>

class HelpBrowser;
class QAction;
class QToolBar;

class THelpForm : public QMainWindow {
    Q_OBJECT
public:
    explicit THelpForm(QWidget* parent = nullptr);

    // The program's viewer for res://<library>/<page> addresses: shows the
    // page in the help window, maximized and raised. Returns false, with no
    // window shown or changed, when the address is no res:// address or the
    // library or page cannot be read.
    static bool OpenAddress(const QString& address);

    // The window OpenAddress last showed; nullptr when there is none.
    static THelpForm* Current();

    HelpBrowser* HelpView = nullptr;
    QToolBar* HelpBar = nullptr;
    QAction *BackAction = nullptr, *ForwardAction = nullptr, *ContentsAction = nullptr;

private:
    void updateTitle();
};
