#pragma once
// The update information window: a fixed text that tells where newer
// versions, plug-ins and the version history are, its addresses formatted
// as links that open through the shell.

#include <QDialog>
#include <QStringList>

class QFrame;
class QLabel;
class QPushButton;
class TRichEditWithLinks;

class TUpdForm : public QDialog {
    Q_OBJECT
public:
    explicit TUpdForm(QWidget* parent = nullptr);

    // The 17 lines of the text, and the five link texts in the order in
    // which they are formatted and compared.
    static QStringList TextLines();
    static QStringList LinkTexts();

    // Focus to ExitBtn; formats every link text at its first occurrence,
    // then leaves the caret at the start without link format.
    void FormShow();
    // Opens lpstrText through the shell when it is exactly one of the link
    // texts; ignores any other text.
    void RedHyperlinkClicked(QObject* Sender, int cpMin, int cpMax, const QString& lpstrText);
    void ExitBtnClick() { close(); }

    QFrame* Panel = nullptr;
    QLabel* Infolabel = nullptr;
    TRichEditWithLinks* Red = nullptr;
    QPushButton* ExitBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
