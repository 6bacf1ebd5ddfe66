#include "settings/TOptionsForm.h"

#include "platform/KnownFolders.h"
#include "platform/TextFile.h"
#include "settings/Settings.h"
#include "settings/SettingsList.h"
#include "settings/SettingsTransaction.h"
#include "widgets/HelpKey.h"
#include "widgets/CheckListBox.h"
#include "widgets/DirDialog.h"
#include "widgets/DriveBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

namespace {

template <typename T> T* named(T* w, const char* name, const QRect& at, const QString& hint = {})
{
    w->setObjectName(QLatin1String(name));
    w->setGeometry(at);
    if (!hint.isEmpty())
        w->setToolTip(hint);
    return w;
}

QCheckBox* check(QWidget* box, const char* name, const QString& caption, const QRect& at, const QString& hint)
{
    return named(new QCheckBox(caption, box), name, at, hint);
}

QFrame* line(QWidget* box, QFrame::Shape shape, const QRect& at)
{
    auto* f = new QFrame(box);
    f->setFrameShape(shape);
    f->setFrameShadow(QFrame::Sunken);
    f->setGeometry(at);
    return f;
}

std::optional<QString> runDirDialog(QWidget* parent)
{
    DirDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.directory();
}

} // namespace

TOptionsForm::TOptionsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TOptionsForm"));
    HelpKey::install(this, QStringLiteral("options.htm"));
    setWindowTitle(QStringLiteral(" Настройки Varnel"));
    setFixedSize(670, 520);
    ChooseFolder = [this] { return runDirDialog(this); };
    buildSearchBox();
    buildPluginBox();
    buildFiltersBox();
    buildLowerBoxes();
    connectHandlers();
}

void TOptionsForm::buildSearchBox()
{
    FileSearchBox = named(new QGroupBox(QStringLiteral(" Поиск файлов "), this), "FileSearchBox", {0, 0, 294, 124});
    DiskCheck = check(FileSearchBox, "DiskCheck", QStringLiteral("Искать на диске"), {8, 18, 130, 20},
                      QStringLiteral("Поиск на отдельном диске"));
    DriveCombobox = named(new DriveBox(DriveBox::LetterCase::AllUpper, FileSearchBox), "DriveCombobox",
                          {142, 17, 144, 22});
    AllDiskCheck = check(FileSearchBox, "AllDiskCheck", QStringLiteral("Искать на всех доступных дисках"),
                         {8, 39, 280, 20}, QStringLiteral("Поиск на всех дисках"));
    TempDirsCheck = check(FileSearchBox, "TempDirsCheck", QStringLiteral("Выводить все файлы временных папок Windows"),
                          {8, 59, 280, 20}, QStringLiteral("Поиск всех файлов в каталогах временных файлов"));
    NoSysCheck = check(FileSearchBox, "NoSysCheck", QStringLiteral("Не удалять файлы из системных папок"),
                       {8, 79, 280, 20},
                       QStringLiteral("Не удалять файлы из системных папок Windows и в корне диска С:"));
    AutoSearchCheck = check(FileSearchBox, "AutoSearchCheck", QStringLiteral("Начинать поиск при запуске программы"),
                            {8, 99, 280, 20}, QStringLiteral("Автоматически запускать поиск при старте программы"));
}

void TOptionsForm::buildPluginBox()
{
    PluginBox = named(new QGroupBox(QStringLiteral(" Плагины "), this), "PluginBox", {294, 0, 367, 124});
    PlugList = named(new QListWidget(PluginBox), "PlugList", {8, 18, 351, 98}, QStringLiteral("Доступные плагины"));
    PlugList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PlugList->setSelectionMode(QAbstractItemView::NoSelection);
    PlugList->setFocusPolicy(Qt::NoFocus);
}

void TOptionsForm::buildFiltersBox()
{
    FiltersBox = named(new QGroupBox(QStringLiteral(" Фильтры "), this), "FiltersBox", {0, 124, 661, 247});
    QWidget* b = FiltersBox;
    TempCheck = check(b, "TempCheck", QStringLiteral("Искать файлы типов *.TMP и *.TEMP"), {8, 18, 300, 20},
                      QStringLiteral("Временные файлы TMP"));
    BAKCheck = check(b, "BAKCheck", QStringLiteral("Искать файлы типa *.BAK"), {338, 18, 300, 20},
                     QStringLiteral("Резервные копии файлов"));
    OldCheck = check(b, "OldCheck", QStringLiteral("Искать файлы типа *.OLD"), {8, 38, 300, 20},
                     QStringLiteral("Временные файлы OLD"));
    GidCheck = check(b, "GidCheck", QStringLiteral("Искать файлы типа *.GID"), {338, 38, 300, 20},
                     QStringLiteral("Временные файлы справок"));
    line(b, QFrame::HLine, {8, 60, 645, 4});
    CustomCheck = check(b, "CustomCheck", QStringLiteral("Использовать при поиске дополнительные фильтры  "),
                        {8, 66, 400, 20}, QStringLiteral("Использовать дополнительные фильтры для поиска"));
    line(b, QFrame::VLine, {328, 88, 4, 152});

    CustomFilterLabel = named(new QLabel(QStringLiteral("Дополнительные фильтры"), b), "CustomFilterLabel",
                              {8, 88, 230, 16});
    FiltersList = named(new CheckListBox(b), "FiltersList", {8, 106, 230, 134},
                        QStringLiteral("Дополнительные фильтры"));
    AddFilterlabel = named(new QLabel(QStringLiteral("Фильтр"), b), "AddFilterlabel", {244, 106, 78, 16});
    FilterEdit = named(new QLineEdit(QStringLiteral("*.*"), b), "FilterEdit", {244, 124, 78, 22});
    FilterEdit->setAlignment(Qt::AlignRight);
    AddBtn = named(new QPushButton(QStringLiteral("Добавить"), b), "AddBtn", {244, 154, 78, 25},
                   QStringLiteral("Добавить новый фильтр"));
    DelBtn = named(new QPushButton(QStringLiteral("Удалить"), b), "DelBtn", {244, 184, 78, 25},
                   QStringLiteral("Удалить фильтр"));

    ExDirslabel = named(new QLabel(QStringLiteral("Каталоги - исключения"), b), "ExDirslabel", {338, 88, 230, 16});
    ExDirsList = named(new CheckListBox(b), "ExDirsList", {338, 106, 230, 134},
                       QStringLiteral("Каталоги из которых найденные файлы удаляться не будут"));
    ExDirsList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AddDirBtn = named(new QPushButton(QStringLiteral("Добавить"), b), "AddDirBtn", {575, 106, 78, 25},
                      QStringLiteral("Добавить каталог"));
    RemDirBtn = named(new QPushButton(QStringLiteral("Удалить"), b), "RemDirBtn", {575, 136, 78, 25},
                      QStringLiteral("Удалить каталог из списка"));
}

void TOptionsForm::buildLowerBoxes()
{
    DeleteBox = named(new QGroupBox(QStringLiteral(" Удаление "), this), "DeleteBox", {0, 372, 661, 41});
    RecycleCheck = check(DeleteBox, "RecycleCheck", QStringLiteral("Перемещать удаляемые файлы в \"Корзину\""),
                         {8, 16, 400, 20}, QStringLiteral("Удаление файлов в \"Корзину\""));
    ViewBox = named(new QGroupBox(QStringLiteral(" Вид "), this), "ViewBox", {0, 414, 661, 41});
    XPMenuCheck = check(ViewBox, "XPMenuCheck", QStringLiteral("Меню в стиле Windows XP"), {8, 16, 300, 20},
                        QStringLiteral("Вид главного меню в стиле Windows XP"));
    SeparCheck = check(ViewBox, "SeparCheck", QStringLiteral("Разделители в списке файлов"), {338, 16, 300, 20},
                       QStringLiteral("Показывать разделители в списке найденных файлов"));
    ApplyBtn = named(new QPushButton(QStringLiteral("Применить"), this), "ApplyBtn", {480, 459, 85, 27});
    ExitBtn = named(new QPushButton(QStringLiteral("Выход"), this), "ExitBtn", {570, 459, 85, 27});
}

void TOptionsForm::connectHandlers()
{
    // clicked() comes from the mouse and the keyboard alike, never from
    // loading, which is what tells a user change from the program's.
    connect(AllDiskCheck, &QCheckBox::clicked, this, &TOptionsForm::AllDiskCheckMouseUp);
    connect(DiskCheck, &QCheckBox::clicked, this, &TOptionsForm::DiskCheckMouseUp);
    connect(CustomCheck, &QCheckBox::clicked, this, &TOptionsForm::CustomCheckMouseUp);
    for (QCheckBox* box : {TempDirsCheck, TempCheck, BAKCheck, RecycleCheck, XPMenuCheck, SeparCheck, NoSysCheck,
                           OldCheck, GidCheck, AutoSearchCheck})
        connect(box, &QCheckBox::clicked, this, &TOptionsForm::EnableApply);
    connect(DriveCombobox, &QComboBox::activated, this, &TOptionsForm::EnableApply);
    connect(FiltersList, &CheckListBox::userClicked, this, &TOptionsForm::EnableApply);
    connect(ExDirsList, &CheckListBox::userClicked, this, &TOptionsForm::EnableApply);
    connect(AddBtn, &QPushButton::clicked, this, &TOptionsForm::AddBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TOptionsForm::DelBtnClick);
    connect(AddDirBtn, &QPushButton::clicked, this, &TOptionsForm::AddDirBtnClick);
    connect(RemDirBtn, &QPushButton::clicked, this, &TOptionsForm::RemDirBtnClick);
    connect(ApplyBtn, &QPushButton::clicked, this, &TOptionsForm::ApplyBtnClick);
    connect(ExitBtn, &QPushButton::clicked, this, &TOptionsForm::ExitBtnClick);
}

QList<std::pair<QCheckBox*, SwitchKey>> TOptionsForm::switches() const
{
    // In the order the dialog loads and saves them.
    using namespace SettingKeys;
    return {{TempDirsCheck, TempFolders}, {RecycleCheck, Recycle},  {NoSysCheck, InSysFolders},
            {XPMenuCheck, XPMenu},        {SeparCheck, Separators}, {TempCheck, TempFiles},
            {BAKCheck, BAKFiles},         {OldCheck, OLDFiles},     {GidCheck, GIDFiles},
            {AutoSearchCheck, AutoStart}};
}

void TOptionsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TOptionsForm::FormShow()
{
    FiltersList->clear();
    ApplyBtn->setEnabled(false);
    loadPlugins();
    loadDisk();
    for (const auto& [box, key] : switches())
        box->setChecked(ReadSwitch(key));
    ExDirsList->clear();
    loadList(*FiltersList, SettingsList::Filters);
    const bool custom = ReadSwitch(SettingKeys::CustomFiles);
    CustomCheck->setChecked(custom);
    setFilterControlsEnabled(custom);
    loadList(*ExDirsList, SettingsList::ExcludedDirs);
}

void TOptionsForm::loadList(CheckListBox& box, SettingsList list)
{
    // Each entry goes to the top, so the box shows the list in reverse;
    // filled from the bottom, a long list costs no moving of entries.
    const QList<SettingsListEntry> entries = ReadSettingsList(list);
    for (auto it = entries.crbegin(); it != entries.crend(); ++it)
        box.appendBottom(it->text, it->checked);
}

void TOptionsForm::saveList(SettingsTransaction& transaction, SettingsList list, const CheckListBox& box)
{
    const QStringList texts = box.texts();
    QList<SettingsListEntry> entries;
    entries.reserve(texts.size());
    for (int n = 0; n < texts.size(); ++n)
        entries.append({texts.at(n), box.isChecked(n)});
    WriteSettingsList(transaction, list, entries);
}

void TOptionsForm::loadPlugins()
{
    PlugList->clear();
    PlugList->addItems(platform::TextFile::readLines(
                           platform::KnownFolders::programFile(platform::KnownFolders::ProgramFile::PluginList))
                           .value_or(QStringList()));
    if (PlugList->count() == 0)
        PlugList->addItem(QStringLiteral("Нет установленных плагинов"));
}

void TOptionsForm::loadDisk()
{
    const QString disk = ReadSetting(SettingKeys::Disk);
    const bool all = disk == u"All";
    AllDiskCheck->setChecked(all);
    DiskCheck->setChecked(!all);
    int position = 0;
    if (!all && !TryStrToInt(disk, position))
        position = -1;
    // A position beyond the drives (one was removed) shows no drive selected.
    DriveCombobox->setCurrentIndex(position >= 0 && position < DriveCombobox->count() ? position : -1);
}

void TOptionsForm::setFilterControlsEnabled(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(FiltersList), static_cast<QWidget*>(FilterEdit),
                       static_cast<QWidget*>(AddBtn), static_cast<QWidget*>(DelBtn)})
        w->setEnabled(on);
    for (QWidget* w : {static_cast<QWidget*>(FiltersList), static_cast<QWidget*>(FilterEdit)}) {
        QPalette p = palette();
        p.setColor(QPalette::Base, on ? palette().color(QPalette::Base) : palette().color(QPalette::Button));
        w->setPalette(p);
    }
}

void TOptionsForm::EnableApply()
{
    ApplyBtn->setEnabled(true);
}

void TOptionsForm::AllDiskCheckMouseUp()
{
    DiskCheck->setChecked(!AllDiskCheck->isChecked());
    EnableApply();
}

void TOptionsForm::DiskCheckMouseUp()
{
    AllDiskCheck->setChecked(!DiskCheck->isChecked());
    EnableApply();
}

void TOptionsForm::CustomCheckMouseUp()
{
    setFilterControlsEnabled(CustomCheck->isChecked());
    EnableApply();
}

void TOptionsForm::AddBtnClick()
{
    FiltersList->insertTop(FilterEdit->text(), false);
    EnableApply();
}

void TOptionsForm::DelBtnClick()
{
    FiltersList->removeSelected();
    EnableApply();
}

void TOptionsForm::AddDirBtnClick()
{
    if (const std::optional<QString> folder = ChooseFolder())
        ExDirsList->insertTop(*folder, true);
    EnableApply();
}

void TOptionsForm::RemDirBtnClick()
{
    ExDirsList->removeSelected();
    EnableApply();
}

void TOptionsForm::saveDisk(SettingsTransaction& transaction)
{
    QString value = QStringLiteral("All");
    if (DiskCheck->isChecked()) {
        // With no drive selected (the stored one is gone) the stored value
        // stays: writing "-1" would make every search find nothing.
        if (DriveCombobox->currentIndex() < 0)
            return;
        value = QString::number(DriveCombobox->currentIndex());
    }
    transaction.write(SettingKeys::Disk, value);
}

void TOptionsForm::ApplyBtnClick()
{
    // One replacement of the file for the whole Apply: killed half-way, the
    // program leaves the old settings, never a list cut short.
    SettingsTransaction transaction;
    saveDisk(transaction);
    for (const auto& [box, key] : switches())
        transaction.writeSwitch(key, box->isChecked());
    transaction.writeSwitch(SettingKeys::CustomFiles, CustomCheck->isChecked());
    saveList(transaction, SettingsList::Filters, *FiltersList);
    saveList(transaction, SettingsList::ExcludedDirs, *ExDirsList);
    transaction.commit();
    ApplyBtn->setEnabled(false);
}

void TOptionsForm::ExitBtnClick()
{
    if (parentWidget())
        parentWidget()->update();
    accept();
}
