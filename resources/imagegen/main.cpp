// Writes the program's pictures as PNG files with the resource lists that
// pack them: vrimgs.qrc (the image library: bitmaps/<id>.png) and
// menuimages.qrc (the 16-pixel menu images, menu/<index>.png, and the
// tool windows' 24-pixel bar images, tool/<name>.png), and the installed
// program's icon (appicon/<size>.png).
//
// usage: varnel_imagegen OUTPUT_DIR

#include "IconPainter.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>

using IconPainter::Picture;

namespace {

struct Item {
    QString file;
    QImage image;
};

bool writeBundle(const QString& dir, const QString& qrc, const QList<Item>& items)
{
    QFile list(dir + u'/' + qrc);
    if (!list.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&list);
    out << "<RCC>\n  <qresource prefix=\"/\">\n";
    for (const Item& item : items) {
        const QString path = dir + u'/' + item.file;
        QDir().mkpath(path.section(u'/', 0, -2));
        if (!item.image.save(path, "PNG"))
            return false;
        out << "    <file>" << item.file << "</file>\n";
    }
    out << "  </qresource>\n</RCC>\n";
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnel_imagegen OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);

    QList<Item> library;
    const Picture order[] = {Picture::Search, Picture::Stop,    Picture::Estimate, Picture::Delete,
                             Picture::Addons, Picture::Options, Picture::Exit};
    for (int i = 0; i < 7; ++i) {
        library.append({QStringLiteral("bitmaps/%1.png").arg(100 + i), IconPainter::draw(order[i], 32)});
        library.append({QStringLiteral("bitmaps/%1.png").arg(110 + i), IconPainter::draw(order[i], 32, true)});
    }
    library.append({QStringLiteral("bitmaps/200.png"), IconPainter::draw(Picture::StatusBusy, 16)});
    library.append({QStringLiteral("bitmaps/201.png"), IconPainter::draw(Picture::StatusIdle, 16)});

    // Menu images by their index in the menu image list.
    const QList<QPair<int, Picture>> menu = {
        {0, Picture::Delete},  {1, Picture::Search},        {2, Picture::Options},        {3, Picture::Stop},
        {4, Picture::Update},  {5, Picture::ClearSelected}, {6, Picture::Estimate},       {7, Picture::Uninstall},
        {8, Picture::Exit},    {9, Picture::Folder},        {10, Picture::ClearSelected}, {11, Picture::Shortcut},
        {12, Picture::Autorun}};
    QList<Item> menuItems;
    for (const auto& [index, picture] : menu)
        menuItems.append({QStringLiteral("menu/%1.png").arg(index), IconPainter::draw(picture, 16)});

    // Tool windows' bar buttons, 24 pixels.
    const QList<QPair<const char*, Picture>> tool = {{"search", Picture::Search}, {"stop", Picture::Stop},
                                                     {"delete", Picture::Delete}, {"exit", Picture::Exit},
                                                     {"folder", Picture::Folder}, {"shortcut", Picture::Shortcut}};
    for (const auto& [name, picture] : tool)
        menuItems.append({QStringLiteral("tool/%1.png").arg(QLatin1String(name)), IconPainter::draw(picture, 24)});

    // The desktop's icon of the installed program, at the sizes menus ask for.
    for (const int size : {48, 128, 256}) {
        QDir().mkpath(dir + QStringLiteral("/appicon"));
        if (!IconPainter::draw(Picture::Delete, size).save(dir + QStringLiteral("/appicon/%1.png").arg(size), "PNG"))
            return 1;
    }

    if (!writeBundle(dir, QStringLiteral("vrimgs.qrc"), library)
        || !writeBundle(dir, QStringLiteral("menuimages.qrc"), menuItems)) {
        std::fprintf(stderr, "varnel_imagegen: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
