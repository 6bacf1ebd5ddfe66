#include "widgets/DirDialog.h"

#include "platform/DriveTable.h"
#include "platform/FileIcons.h"
#include "platform/FolderListing.h"
#include "platform/PathMapper.h"
#include "formats/WinPath.h"
#include "widgets/DriveBox.h"
#include "widgets/HelpKey.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using formats::WinPath::excludeTrailingBackslash;
using formats::WinPath::includeTrailingBackslash;

namespace {

template <typename T> T* named(T* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

DirDialog::DirDialog(QWidget* parent)
    : QDialog(parent)
    , DirLabel(named(new QLabel(QStringLiteral("Каталог"), this), "DirLabel"))
    , DirEdit(named(new QLineEdit(this), "DirEdit"))
    , FoldersLabel(named(new QLabel(QStringLiteral("Каталоги:"), this), "FoldersLabel"))
    , FolderList(named(new QListWidget(this), "FolderList"))
    , DrivesLabel(named(new QLabel(QStringLiteral("Диски"), this), "DrivesLabel"))
    , DriveList(named(new DriveBox(DriveBox::LetterCase::Lower, this), "DriveList"))
    , OkBtn(named(new QPushButton(QStringLiteral("OK"), this), "OkBtn"))
    , CancelBtn(named(new QPushButton(QStringLiteral("Отмена"), this), "CancelBtn"))
    , HelpBtn(named(new QPushButton(QStringLiteral("Помощь"), this), "HelpBtn"))
{
    setObjectName(QStringLiteral("DirDialog"));
    setWindowTitle(QStringLiteral(" Выбор каталога"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(DirLabel, 0, 0);
    grid->addWidget(DirEdit, 1, 0, 1, 2);
    grid->addWidget(FoldersLabel, 2, 0);
    grid->addWidget(DrivesLabel, 2, 1);
    grid->addWidget(FolderList, 3, 0, 2, 1);
    grid->addWidget(DriveList, 3, 1, Qt::AlignTop);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    buttons->addStretch();
    grid->addLayout(buttons, 4, 1);
    OkBtn->setDefault(true);
    resize(420, 300);

    connect(OkBtn, &QPushButton::clicked, this, &DirDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &DirDialog::reject);
    // The chooser is opened from the options dialog, whose page tells of it.
    const QString page = QStringLiteral("options.htm");
    connect(HelpBtn, &QPushButton::clicked, this, [page] { HelpKey::open(page); });
    HelpKey::install(this, page);
    connect(FolderList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openRow(FolderList->row(item)); });
    connect(DriveList, &QComboBox::activated, this,
            [this](int) { setDirectory(DriveList->currentText().left(2) + u'\\'); });

    if (!setDirectory(platform::PathMapper::currentDirectory()) && DriveList->count() > 0)
        setDirectory(DriveList->itemText(0).left(2) + u'\\');
}

bool DirDialog::setDirectory(const QString& folder)
{
    const QChar letter = formats::WinPath::driveLetter(folder);
    platform::FolderListing probe;
    if (letter.isNull() || !platform::DriveTable::isFixed(letter) || !probe.read(folder))
        return false;
    // The host's own spelling of every component, so the list shows what is there.
    folder_ = excludeTrailingBackslash(platform::PathMapper::toWindows(probe.hostFolder()));
    fill();
    return true;
}

void DirDialog::fill()
{
    DirEdit->setText(folder_);
    const QChar letter = formats::WinPath::driveLetter(folder_);
    for (int i = 0; i < DriveList->count(); ++i)
        if (DriveList->itemText(i).at(0) == letter)
            DriveList->setCurrentIndex(i);
    FolderList->clear();
    rowFolders_.clear();
    const QIcon icon = platform::FileIcons::folderIcon();
    QString path;
    int depth = 0;
    for (const QString& part : folder_.split(u'\\', Qt::SkipEmptyParts)) {
        path = path.isEmpty() ? part + u'\\' : includeTrailingBackslash(path) + part;
        FolderList->addItem(new QListWidgetItem(icon, QString(depth * 2, u' ') + (depth ? part : path)));
        rowFolders_.append(path);
        ++depth;
    }
    FolderList->setCurrentRow(FolderList->count() - 1);
    platform::FolderListing listing;
    if (!listing.read(folder_))
        return;
    for (const platform::FolderListing::Entry& e : listing.entries()) {
        if (!e.isDirectory)
            continue;
        const QString name = listing.name(e).toString();
        FolderList->addItem(new QListWidgetItem(icon, QString(depth * 2, u' ') + name));
        rowFolders_.append(includeTrailingBackslash(folder_) + name);
    }
}

void DirDialog::openRow(int row)
{
    if (row >= 0 && row < rowFolders_.size())
        setDirectory(rowFolders_[row]);
}

void DirDialog::accept()
{
    // A path typed into the edit counts when it names a folder; otherwise
    // the dialog stays open on the folder shown. A host path (/tmp/x) is
    // what a Linux user types, and means its place on the drives.
    const QString typed = DirEdit->text();
    const QString wanted = typed.startsWith(u'/') ? platform::PathMapper::toWindows(typed.toUtf8()) : typed;
    if (typed != folder_ && !setDirectory(wanted))
        return;
    QDialog::accept();
}
