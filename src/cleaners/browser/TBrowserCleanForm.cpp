#include "cleaners/browser/TBrowserCleanForm.h"

#include "cleaners/browser/TEasyFileSearch.h"
#include "core/CallbackSink.h"
#include "core/OutcomeSink.h"
#include "platform/MessagePump.h"
#include "widgets/HelpKey.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

// Ends a run before anything is searched.
struct NoFolder : std::runtime_error {
    NoFolder()
        : std::runtime_error("no folder to clean")
    {}
};

} // namespace

TBrowserCleanForm::TBrowserCleanForm(const Texts& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , search_(new TEasyFileSearch(this))
    , Clean(texts.store, *search_)
    , texts_(texts)
{
    setWindowTitle(texts.caption);
    setFixedSize(400, 102);

    list_ = new QPlainTextEdit(this);
    list_->setObjectName(QLatin1String(texts.listName));
    list_->setReadOnly(true);
    list_->setGeometry(rect());

    // The panel covers the work list: the list is never seen.
    IECPanel = new QFrame(this);
    IECPanel->setObjectName(QStringLiteral("IECPanel"));
    IECPanel->setFrameShape(QFrame::StyledPanel);
    IECPanel->setAutoFillBackground(true);
    IECPanel->setGeometry(rect());
    auto* layout = new QVBoxLayout(IECPanel);
    CacheLabel = new QLabel(texts.firstLabel, IECPanel);
    CacheLabel->setObjectName(QStringLiteral("CacheLabel"));
    IEProgress = new QProgressBar(IECPanel);
    IEProgress->setObjectName(QStringLiteral("IEProgress"));
    IEProgress->setTextVisible(false);
    setTotal(0);
    layout->addWidget(CacheLabel);
    layout->addWidget(IEProgress);
    IECPanel->raise();

    search_->setObjectName(QLatin1String(texts.searchName));

    CloseTimer = new QTimer(this);
    CloseTimer->setObjectName(QStringLiteral("CloseTimer"));
    CloseTimer->setInterval(1000);
    connect(CloseTimer, &QTimer::timeout, this, &TBrowserCleanForm::CloseTimerTimer);

    HelpKey::install(this, texts.helpPage);
}

void TBrowserCleanForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TBrowserCleanForm::FormActivate()
{
    if (running_)
        return;
    QPointer<TBrowserCleanForm> self(this);
    running_ = true;
    try {
        RunCleaning();
        if (self)
            CloseTimer->start();
    } catch (...) {}
    if (self)
        running_ = false;
}

void TBrowserCleanForm::CloseTimerTimer()
{
    CloseTimer->stop();
    close();
}

void TBrowserCleanForm::addFound(const core::Finding& found)
{
    found_.append(found);
    list_->appendPlainText(found.path);
}

void TBrowserCleanForm::setTotal(int total)
{
    total_ = total;
    done_ = 0;
    // A bar of no parts would show Qt's busy animation; an empty bar is meant.
    IEProgress->setRange(0, qMax(total, 1));
    IEProgress->setValue(0);
}

void TBrowserCleanForm::advance()
{
    done_ = qMin(done_ + 1, qMax(total_, 0));
    IEProgress->setValue(done_);
}

void TBrowserCleanForm::RunCleaning()
{
    done_ = 0;
    IEProgress->setValue(0);
    list_->clear();
    found_.clear();
    core::CallbackSink sink;
    sink.onFound = [this](const core::Finding& found) { fileFound(found); };
    if (Clean.scan(core::Context::current(), sink) == BrowserCleanJob::Result::NoFolder)
        throw NoFolder();
    setTotal(int(found_.size()) - 1);
    try {
        deleteFound();
    } catch (...) {}
}

void TBrowserCleanForm::deleteFound()
{
    QPointer<TBrowserCleanForm> self(this);
    const QList<core::Finding> found = found_;
    qsizetype next = 0;
    OutcomeSink outcomes;
    outcomes.subscribe([this](const CleanOutcome&) { advance(); });
    const bool finished = BrowserCleanJob::dispose(found, outcomes, [&] {
        platform::MessagePump::process();
        if (!self)
            return true; // the window is gone: touch nothing of it
        const QString& path = found[next++].path;
        CacheLabel->setText(texts_.progress + path.mid(path.lastIndexOf(u'\\') + 1));
        return false;
    });
    if (!finished)
        return;
    list_->clear();
    found_.clear();
    CacheLabel->setText(texts_.done);
}
