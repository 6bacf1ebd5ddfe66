#pragma once
// A box of the machine's fixed drives in letter order, each item the drive
// letter, a colon, a blank and the volume label ("c: system").

#include <QComboBox>

namespace platform {
struct FixedDrive;
}

class DriveBox : public QComboBox {
    Q_OBJECT
public:
    // Lower: "c: Label"; Upper: the letter only ("C: Label", the estimate's
    // list); AllUpper: the whole item ("C: LABEL", the lists a user picks
    // a drive from).
    enum class LetterCase { Lower, Upper, AllUpper };

    explicit DriveBox(LetterCase letters = LetterCase::Lower, QWidget* parent = nullptr);

    // Reads the drive table again and lists what it holds now.
    void refresh();

    // The items' texts, in order.
    QStringList itemTexts() const;

    // The item that lists drive d in the given case.
    static QString textFor(const platform::FixedDrive& d, LetterCase letters);

private:
    LetterCase letters_;
};
