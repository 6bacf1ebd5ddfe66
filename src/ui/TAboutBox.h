#pragma once
// The about box: the program's name, version and purpose, the contact
// links and the authors.

#include <QDialog>
#include <QStringList>

class HoverLinkLabel;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The lines of Memo1.
    static QStringList MemoLines();

    void FormShow();
    // Open the home page and a new mail message through the shell.
    void UrlLabelClick();
    void MailLabelClick();
    void OKButtonClick() { accept(); }

    QFrame* ImagePanel = nullptr;
    QLabel* Image = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label11 = nullptr;
    HoverLinkLabel *UrlLabel = nullptr, *MailLabel = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* addLabel(const char* name, const QString& text);
};
