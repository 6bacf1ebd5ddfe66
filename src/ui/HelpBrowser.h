#pragma once
// The page view of the help window: shows the pages of one help book under
// addresses help:/<page>, so that relative links between pages, anchors
// and the back and forward history work as in a browser. Links that leave
// the book go to the shell.

#include "ui/HelpBook.h"

#include <QTextBrowser>

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);

    // Shows page of book; false (nothing changed) when the page cannot be read.
    bool ShowPage(const HelpBook& book, const QString& page);

    // The address of a page of the book inside this view.
    static QUrl PageUrl(const QString& page);
    // The page a view address names; empty for an address outside the book.
    static QString PageOf(const QUrl& url);

    // Follows a link as a click on it does: a page of the book is shown, any
    // other address is handed to the shell.
    void FollowLink(const QUrl& link);

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    std::optional<HelpBook> book_;
    QUrl loading_; // the page being shown: what its style sheet and pictures are relative to
};
