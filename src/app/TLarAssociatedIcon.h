#pragma once
// The icon the desktop associates with a file, looked up by its name.

#include <QIcon>
#include <QString>

class TLarAssociatedIcon {
public:
    // The current file name; initially "c:\".
    const QString& FileName() const { return fileName_; }

    // Sets the file name. A name different from the current one looks its
    // icon up (by its first 255 characters); the same name changes nothing.
    void SetFileName(const QString& name);

    // The icon of the current file name.
    const QIcon& Icon() const { return icon_; }

private:
    QString fileName_ = QStringLiteral("c:\\");
    QIcon icon_;
};
