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
    for (const platform::FixedDrive& d : platform::DriveTable::fixedDrives()) {
        const QChar letter = letters_ == LetterCase::Upper ? d.letter.toUpper() : d.letter;
        addItem(QString(letter) + QStringLiteral(": ") + d.label);
    }
}

QStringList DriveBox::itemTexts() const
{
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts.append(itemText(i));
    return texts;
}
