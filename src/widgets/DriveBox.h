#pragma once
// A box of the machine's fixed drives in letter order, each item the drive
// letter, a colon, a blank and the volume label ("c: system").

#include <QComboBox>

class DriveBox : public QComboBox {
    Q_OBJECT
public:
    enum class LetterCase { Lower, Upper };

    explicit DriveBox(LetterCase letters = LetterCase::Lower, QWidget* parent = nullptr);

    // Reads the drive table again and lists what it holds now.
    void refresh();

    // The items' texts, in order.
    QStringList itemTexts() const;

private:
    LetterCase letters_;
};
