#include "ui/HelpBook.h"

#include "platform/DynamicLibrary.h"

using platform::DynamicLibrary;

std::optional<HelpBook> HelpBook::fromAddress(const QString& address, QString* page)
{
    const QLatin1String scheme("res://");
    if (!address.startsWith(scheme, Qt::CaseInsensitive))
        return std::nullopt;
    const QString rest = address.mid(scheme.size());
    // The library path is Windows form, with backslashes; the page follows
    // the first slash after the library's name.
    qsizetype cut = rest.indexOf(QLatin1String(".dll/"), 0, Qt::CaseInsensitive);
    cut = cut >= 0 ? cut + 4 : rest.lastIndexOf(u'/');
    const QString library = cut >= 0 ? rest.left(cut) : rest;
    QString name = cut >= 0 ? rest.mid(cut + 1) : QString();
    if (library.isEmpty())
        return std::nullopt;
    if (name.isEmpty())
        name = QStringLiteral("index.htm");
    if (page)
        *page = name;
    return HelpBook(library);
}

QByteArray HelpBook::read(const QString& page) const
{
    if (page.isEmpty() || page.contains(QLatin1String("..")))
        return {};
    return DynamicLibrary::resource(DynamicLibrary::load(library_), page);
}
