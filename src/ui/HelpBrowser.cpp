#include "ui/HelpBrowser.h"

#include "platform/ShellOpen.h"

#include <QTextDocument>

HelpBrowser::HelpBrowser(QWidget* parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::FollowLink);
}

QUrl HelpBrowser::PageUrl(const QString& page)
{
    QUrl url;
    url.setScheme(QStringLiteral("help"));
    url.setPath(u'/' + page);
    return url;
}

QString HelpBrowser::PageOf(const QUrl& url)
{
    if (url.scheme() != QLatin1String("help"))
        return {};
    QString path = url.path();
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    return path;
}

bool HelpBrowser::ShowPage(const HelpBook& book, const QString& page)
{
    if (!book.has(page))
        return false;
    if (!book_ || book_->library() != book.library()) {
        book_ = book;
        clearHistory();
    }
    setSource(PageUrl(page));
    return true;
}

void HelpBrowser::FollowLink(const QUrl& link)
{
    const QUrl target = source().resolved(link);
    if (!PageOf(target).isEmpty()) {
        if (book_ && book_->has(PageOf(target)))
            setSource(target);
        return;
    }
    platform::ShellOpen::open(target.toString());
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type)
{
    // The page's own resources load while it is parsed, before source()
    // names it.
    loading_ = source().resolved(name);
    QTextBrowser::doSetSource(name, type);
    loading_ = QUrl();
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    const QString page = PageOf((loading_.isValid() ? loading_ : source()).resolved(name));
    if (!book_ || page.isEmpty())
        return {};
    const QByteArray bytes = book_->read(page);
    if (bytes.isEmpty())
        return {};
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(bytes);
    return bytes;
}
