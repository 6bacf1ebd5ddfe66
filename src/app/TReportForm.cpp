#include "app/TReportForm.h"

#include "cleaners/files/TdcDiskInfo.h"
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
    totals_ = SizeEstimate::compute(DriveBox_->itemTexts(), [this](const QString& item) {
        SelectDisk(item.left(1));
        return SizeEstimate::Drive{DiskInf->DiskSize, DiskInf->DiskFree};
    });
    AllSizeLabel->setText(QStringLiteral("Общая емкость дисков (Mb) : ") + QString::number(totals_.capacityMB));
    UsedSizeLabel->setText(QStringLiteral("Из них занято (Mb) : ") + QString::number(totals_.usedMB));
    AllSpaceBar->setTotalParts(qint64(totals_.capacityMB));
    AllSpaceBar->setPartsComplete(qint64(totals_.usedMB));
    SizeList = totals_.handedOver;
}

void TReportForm::FormShow()
{
    SizeList.clear();
    ComputeDiskTotals();
    TmpSizeBar->setTotalParts(qint64(totals_.usedMB));
    TmpSizeBar->setPartsComplete(totals_.foundMB);
    TmpSizelabel->setText(QStringLiteral("Найденные файлы (\u041Ab) : ") + QString::number(totals_.foundKB));
    if (totals_.advice == SizeEstimate::Advice::Needed)
        RecomLabel->setText(QStringLiteral("Рекомендация - очистка необходима"));
    else if (totals_.advice == SizeEstimate::Advice::Urgent)
        RecomLabel->setText(QStringLiteral("Рекомендация - очистка крайне необходима"));
}
