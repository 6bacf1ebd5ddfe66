#pragma once
// A help library (vrhelp.dll): a resource library of HTML pages, named by
// a res://<library>/<page> address. Each read loads the library, takes the
// page and releases it again, so nothing stays open between pages.

#include <QByteArray>
#include <QString>
#include <optional>

class HelpBook {
public:
    // Splits "res://<library>/<page>" into the book and the page ("index.htm"
    // when the address names none). nullopt for any other address.
    static std::optional<HelpBook> fromAddress(const QString& address, QString* page = nullptr);

    explicit HelpBook(const QString& library)
        : library_(library)
    {}

    // The library's path as the address gave it (Windows form).
    const QString& library() const { return library_; }

    // The bytes of a page or other file of the book; empty when the library
    // cannot be loaded, is damaged, or has no such page.
    QByteArray read(const QString& page) const;

    // Whether the page can be read and holds something.
    bool has(const QString& page) const { return !read(page).isEmpty(); }

private:
    QString library_;
};
