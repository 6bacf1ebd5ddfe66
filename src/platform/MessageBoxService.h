#pragma once
// Message boxes, behind a service: the window program presents them
// (MessageBoxWindow), a program without a display writes them to standard
// error, and tests answer them, so that no test ever waits on a modal box.
// Qt Core only: the logic libraries may ask.

#include <QString>
#include <functional>

class QWidget;

namespace platform {

enum class MsgButtons { Ok, YesNoCancel, YesNo };
enum class MsgIcon { None, Error, Warning, Information, Question };
enum class MsgResult { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString text;
    QString caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    QWidget* parent = nullptr;
};

class MessageBoxService {
public:
    using Handler = std::function<MsgResult(const MessageRequest&)>;

    // Shows the box modally and returns the button pressed (Cancel when the
    // box was closed otherwise). The caption defaults to the application's.
    // Without a presenter the text goes to standard error and the answer is
    // Ok for an Ok box, Cancel otherwise.
    static MsgResult show(const MessageRequest& request);

    // Replaces the boxes (tests answer them); empty restores the presenter.
    static void setHandler(Handler handler);

    // Sets what presents the boxes for real (MessageBoxWindow::install).
    static void setPresenter(Handler presenter);
};

} // namespace platform
