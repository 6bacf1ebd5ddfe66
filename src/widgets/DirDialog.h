#pragma once
// The folder chooser: the current folder's path, its folders (the path
// from the drive's root down, then the sub-folders) and a box of the fixed
// drives. It opens at the program's current folder and offers fixed drives
// only. A folder can also be typed, in Windows form or as a host path; F1
// and the help button open the options dialog's help page.

#include <QDialog>

class DriveBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class DirDialog : public QDialog {
    Q_OBJECT
public:
    explicit DirDialog(QWidget* parent = nullptr);

    // The folder shown (Windows form, without a trailing backslash unless a
    // drive root); the chosen one after the dialog was accepted.
    QString directory() const { return folder_; }

    // Shows folder; false (nothing changed) when it is not an existing
    // folder on a fixed drive.
    bool setDirectory(const QString& folder);

    QLabel* DirLabel;
    QLineEdit* DirEdit;
    QLabel* FoldersLabel;
    QListWidget* FolderList;
    QLabel* DrivesLabel;
    DriveBox* DriveList;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

    void accept() override;

private:
    void fill();
    void openRow(int row);

    QString folder_;
    QStringList rowFolders_; // the folder each row of FolderList stands for
};
