#pragma once
// The options dialog: every setting of the settings file but the main
// window's geometry. It loads everything when shown and writes everything on
// Apply; closing it without Apply loses the changes. It keeps nothing
// between openings: each opening is a fresh dialog.

#include "settings/SettingsList.h"

#include <QDialog>
#include <functional>
#include <optional>

class CheckListBox;
class DriveBox;
class SettingsTransaction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsForm(QWidget* parent = nullptr);

    // Loads the dialog from the settings file (also run when it is shown).
    void FormShow();
    // Writes every setting, the filter list and the excluded-folder list.
    void ApplyBtnClick();
    // Has the main window repaint (so applied view settings show) and closes.
    void ExitBtnClick();

    void AllDiskCheckMouseUp();
    void DiskCheckMouseUp();
    void CustomCheckMouseUp();
    void AddBtnClick();
    void DelBtnClick();
    void AddDirBtnClick();
    void RemDirBtnClick();

    // Asks the user for a folder; nullopt when cancelled. Runs DirDialog by
    // default; tests answer it themselves.
    std::function<std::optional<QString>()> ChooseFolder;

    QGroupBox *FileSearchBox, *PluginBox, *FiltersBox, *DeleteBox, *ViewBox;
    QCheckBox *DiskCheck, *AllDiskCheck, *TempDirsCheck, *NoSysCheck, *AutoSearchCheck;
    DriveBox* DriveCombobox;
    QListWidget* PlugList;
    QCheckBox *TempCheck, *BAKCheck, *OldCheck, *GidCheck, *CustomCheck;
    QLabel *CustomFilterLabel, *AddFilterlabel, *ExDirslabel;
    CheckListBox* FiltersList;
    QLineEdit* FilterEdit;
    QPushButton *AddBtn, *DelBtn;
    CheckListBox* ExDirsList;
    QPushButton *AddDirBtn, *RemDirBtn;
    QCheckBox* RecycleCheck;
    QCheckBox *XPMenuCheck, *SeparCheck;
    QPushButton *ApplyBtn, *ExitBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildSearchBox();
    void buildPluginBox();
    void buildFiltersBox();
    void buildLowerBoxes();
    void connectHandlers();
    void loadPlugins();
    void loadDisk();
    void saveDisk(SettingsTransaction& transaction);
    static void loadList(CheckListBox& box, SettingsList list);
    static void saveList(SettingsTransaction& transaction, SettingsList list, const CheckListBox& box);
    void setFilterControlsEnabled(bool on);
    void EnableApply();
    QList<std::pair<QCheckBox*, SwitchKey>> switches() const;
};
