#include "widgets/DriveBox.h"

#include "platform/DriveTable.h"

DriveBox::DriveBox(LetterCase letters, QWidget* parent)
    : QComboBox(parent)
    , letters_(letters)
{
    refresh();
}

void DriveBox::refresh()
{
    platform::DriveTable::reload();
    clear();
    for (const platform::FixedDrive& d : platform::DriveTable::fixedDrives())
        addItem(textFor(d, letters_));
}

QString DriveBox::textFor(const platform::FixedDrive& d, LetterCase letters)
{
    QString text = d.caption();
    if (letters != LetterCase::Lower)
        text[0] = text[0].toUpper();
    return letters == LetterCase::AllUpper ? text.toUpper() : text;
}

QStringList DriveBox::itemTexts() const
{
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts.append(itemText(i));
    return texts;
}
