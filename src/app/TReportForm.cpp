#include "app/TReportForm.h"

#include "cleaners/files/TdcDiskInfo.h"
#include "platform/KnownFolders.h"
#include "platform/TextFile.h"
#include "core/Disposal.h"
#include "widgets/HelpKey.h"
#include "widgets/DriveBox.h"
#include "widgets/PartsProgressBar.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

template <typename T> T* named(T* w, const char* name, const QRect& at)
{
    w->setObjectName(QLatin1String(name));
    w->setGeometry(at);
    return w;
}

constexpr quint64 kMegabyte = 1048576;

} // namespace

TReportForm::TReportForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , DriveBox_(new DriveBox(DriveBox::LetterCase::Upper, this))
    , DiskInf(new TdcDiskInfo(this))
{
    setObjectName(QStringLiteral("TReportForm"));
    HelpKey::install(this, QStringLiteral("estimate.htm"));
    setWindowTitle(QStringLiteral(" Оценка Varnel"));
    setFixedSize(300, 260);
    DriveBox_->setObjectName(QStringLiteral("DriveBox"));
    DriveBox_->hide();
    DiskInf->setObjectName(QStringLiteral("DiskInf"));

    FreeBox = named(new QGroupBox(QStringLiteral(" Свободно на дисках "), this), "FreeBox", {4, 4, 292, 102});
    Bar1Label = named(new QLabel(QStringLiteral("Занято на дисках от общего объёма :"), FreeBox), "Bar1Label",
                      {8, 18, 276, 16});
    AllSpaceBar = named(new PartsProgressBar(FreeBox), "AllSpaceBar", {8, 36, 276, 18});
    AllSizeLabel = named(new QLabel(QStringLiteral("Общая емкость дисков (\u041Cb) : 0 "), FreeBox), "AllSizeLabel",
                         {8, 58, 276, 16});
    UsedSizeLabel = named(new QLabel(QStringLiteral("Из них занято (Mb) : 0"), FreeBox), "UsedSizeLabel",
                          {8, 78, 276, 16});

    FoundBox = named(new QGroupBox(QStringLiteral(" Занято найденными файлами "), this), "FoundBox",
                     {4, 110, 292, 108});
    Bar2Label = named(new QLabel(QStringLiteral("Найденные файлы от всех имеющихся файлов :"), FoundBox), "Bar2Label",
                      {8, 18, 276, 16});
    TmpSizeBar = named(new PartsProgressBar(FoundBox), "TmpSizeBar", {8, 36, 276, 18});
    TmpSizelabel = named(new QLabel(QStringLiteral("Найденные файлы (\u041Ab) : 0"), FoundBox), "TmpSizelabel",
                         {8, 58, 276, 16});
    RecomLabel = named(new QLabel(QStringLiteral("Рекомендация - очистка по желанию"), FoundBox), "RecomLabel",
                       {8, 80, 276, 16});

    ExtBtn = named(new QPushButton(QStringLiteral("Выход"), this), "ExtBtn", {211, 225, 85, 27});
    connect(ExtBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TReportForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TReportForm::SelectDisk(const QString& text)
{
    DiskInf->SetDisk(text);
}

void TReportForm::ComputeDiskTotals()
{
    quint64 capacity = 0, free = 0;
    for (const QString& item : DriveBox_->itemTexts()) {
        SelectDisk(item.left(1));
        capacity += DiskInf->DiskSize;
        free += DiskInf->DiskFree;
    }
    const quint64 used = capacity - qMin(free, capacity);
    const quint64 capMB = capacity / kMegabyte, usedMB = used / kMegabyte;
    AllSizeLabel->setText(QStringLiteral("Общая емкость дисков (Mb) : ") + QString::number(capMB));
    UsedSizeLabel->setText(QStringLiteral("Из них занято (Mb) : ") + QString::number(usedMB));
    AllSpaceBar->setTotalParts(qint64(capMB));
    AllSpaceBar->setPartsComplete(qint64(usedMB));
    const QString handOver = platform::KnownFolders::programFile(platform::KnownFolders::ProgramFile::HandOver);
    SizeList = platform::TextFile::readLines(handOver).value_or(QStringList());
    platform::TextFile::remove(handOver);
}

void TReportForm::FormShow()
{
    SizeList.clear();
    ComputeDiskTotals();
    TmpSizeBar->setTotalParts(AllSpaceBar->partsComplete());
    // A missing or empty hand-over file shows 0.
    bool ok = false;
    const qint64 kb = SizeList.isEmpty() ? 0 : SizeList.first().trimmed().toLongLong(&ok);
    TmpSizeBar->setPartsComplete(ok ? kb / 1024 : 0);
    TmpSizelabel->setText(QStringLiteral("Найденные файлы (\u041Ab) : ") + QString::number(ok ? kb : 0));
    const int p = TmpSizeBar->percentDone();
    if (p == 1)
        RecomLabel->setText(QStringLiteral("Рекомендация - очистка необходима"));
    else if (p >= 2)
        RecomLabel->setText(QStringLiteral("Рекомендация - очистка крайне необходима"));
}
