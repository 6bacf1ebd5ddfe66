#include "platform/MessageBoxWindow.h"

#include "platform/MessageBoxService.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {

QMessageBox::Icon iconOf(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

MsgResult showReal(const MessageRequest& r)
{
    const QString caption = r.caption.isEmpty() ? QApplication::applicationName() : r.caption;
    QMessageBox box(iconOf(r.icon), caption, r.text, buttonsOf(r.buttons), r.parent);
    // The texts carry paths, names and plug-ins' words: never markup.
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

} // namespace

void MessageBoxWindow::install()
{
    MessageBoxService::setPresenter(showReal);
}

} // namespace platform
