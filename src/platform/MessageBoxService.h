#pragma once
// Message boxes, behind a service that tests replace so that no test ever
// waits on a modal box.

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
    static MsgResult show(const MessageRequest& request);

    // Replaces the boxes (tests answer them); empty restores real boxes.
    static void setHandler(Handler handler);
};

} // namespace platform
