#include "IconPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace IconPainter {

namespace {

struct Pen {
    bool hot = false;
    QColor operator()(const char* name) const
    {
        const QColor c(QString::fromLatin1(name));
        return hot ? c.lighter(118) : c;
    }
};

void outline(QPainter& p, const QColor& c, qreal w = 1.2)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QLinearGradient vertical(const QColor& top, const QColor& bottom, qreal y0 = 0, qreal y1 = 32)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void magnifier(QPainter& p, const Pen& c)
{
    outline(p, c("#5a3b1c"), 1.0);
    p.setBrush(vertical(c("#b07a3c"), c("#6b4420")));
    p.save();
    p.translate(20.5, 20.5);
    p.rotate(45);
    p.drawRoundedRect(QRectF(2, -2.6, 11, 5.2), 2, 2);
    p.restore();
    QRadialGradient glass(11, 10, 10, 9, 8);
    glass.setColorAt(0, c("#ffffff"));
    glass.setColorAt(0.5, c("#cfe8ff"));
    glass.setColorAt(1, c("#6fa8dc"));
    outline(p, c("#1f4e79"), 2.2);
    p.setBrush(glass);
    p.drawEllipse(QPointF(13, 13), 9, 9);
    outline(p, QColor(255, 255, 255, 200), 1.4);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8, 10, 10), 100 * 16, 70 * 16);
}

void stopSign(QPainter& p, const Pen& c)
{
    QPolygonF oct;
    for (int i = 0; i < 8; ++i) {
        const qreal a = qDegreesToRadians(22.5 + 45.0 * i);
        oct << QPointF(16 + 13 * qCos(a), 16 + 13 * qSin(a));
    }
    outline(p, c("#7a0d0d"), 1.2);
    p.setBrush(vertical(c("#f05a4f"), c("#b3161b")));
    p.drawPolygon(oct);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#ffffff"));
    p.drawRoundedRect(QRectF(8, 13.5, 16, 5), 1.5, 1.5);
}

void estimate(QPainter& p, const Pen& c)
{
    outline(p, c("#3b3b3b"), 1.2);
    p.drawLine(QPointF(4, 4), QPointF(4, 28));
    p.drawLine(QPointF(4, 28), QPointF(29, 28));
    const struct {
        qreal x, h;
        const char* top;
        const char* bottom;
    } bars[] = {{7, 9, "#7fd37f", "#2e8b2e"}, {13.5, 15, "#ffd36b", "#d08a00"}, {20, 21, "#f0837a", "#c0392b"}};
    for (const auto& b : bars) {
        outline(p, c("#333333"), 0.8);
        p.setBrush(vertical(c(b.top), c(b.bottom), 27 - b.h, 27));
        p.drawRect(QRectF(b.x, 27 - b.h, 5.5, b.h));
    }
}

void trash(QPainter& p, const Pen& c)
{
    outline(p, c("#3d4a57"), 1.2);
    p.setBrush(vertical(c("#dfe6ec"), c("#8796a5")));
    QPainterPath body;
    body.moveTo(8, 10);
    body.lineTo(24, 10);
    body.lineTo(22.5, 29);
    body.lineTo(9.5, 29);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(vertical(c("#c7d1da"), c("#6f7f8f"), 5, 10));
    p.drawRoundedRect(QRectF(5.5, 6.5, 21, 3.5), 1.2, 1.2);
    p.drawRoundedRect(QRectF(13, 3.5, 6, 3), 1, 1);
    outline(p, c("#56636f"), 1.1);
    for (qreal x : {12.5, 16.0, 19.5})
        p.drawLine(QPointF(x, 13), QPointF(x, 26));
    outline(p, c("#d1242a"), 2.4);
    p.drawLine(QPointF(19, 17), QPointF(28, 26));
    p.drawLine(QPointF(28, 17), QPointF(19, 26));
}

void addons(QPainter& p, const Pen& c)
{
    QPainterPath body, top, side;
    body.addRoundedRect(QRectF(5, 9, 18, 18), 2.5, 2.5);
    top.addEllipse(QPointF(14, 8.5), 4, 4);
    side.addEllipse(QPointF(23.5, 18), 4, 4);
    const QPainterPath piece = body.united(top).united(side);
    outline(p, c("#1e5e20"), 1.2);
    p.setBrush(vertical(c("#9be07f"), c("#3c9a2e")));
    p.drawPath(piece);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(QRectF(12.5, 14, 3, 9));
    p.drawRect(QRectF(9.5, 17, 9, 3));
}

void gear(QPainter& p, const Pen& c)
{
    QPainterPath g;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = qDegreesToRadians(360.0 * i / (teeth * 2));
        const qreal a1 = qDegreesToRadians(360.0 * (i + 1) / (teeth * 2));
        const qreal r = (i % 2 == 0) ? 14 : 10.5;
        const QPointF p0(16 + r * qCos(a0), 16 + r * qSin(a0)), p1(16 + r * qCos(a1), 16 + r * qSin(a1));
        if (i == 0)
            g.moveTo(p0);
        else
            g.lineTo(p0);
        g.lineTo(p1);
    }
    g.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(16, 16), 4.5, 4.5);
    outline(p, c("#2f3d4c"), 1.2);
    p.setBrush(vertical(c("#b9c8d8"), c("#5b7087")));
    p.drawPath(g.subtracted(hole));
}

void door(QPainter& p, const Pen& c)
{
    outline(p, c("#4a2f12"), 1.2);
    p.setBrush(vertical(c("#c98b4a"), c("#7a4b1e")));
    p.drawRect(QRectF(5, 3, 15, 26));
    p.setBrush(c("#f5d76e"));
    p.drawEllipse(QPointF(16.5, 17), 1.4, 1.4);
    QPainterPath arrow;
    arrow.moveTo(14, 13.5);
    arrow.lineTo(22, 13.5);
    arrow.lineTo(22, 9);
    arrow.lineTo(30, 16.5);
    arrow.lineTo(22, 24);
    arrow.lineTo(22, 19.5);
    arrow.lineTo(14, 19.5);
    arrow.closeSubpath();
    outline(p, c("#1e5e20"), 1.1);
    p.setBrush(vertical(c("#8fe07a"), c("#2f8f2a"), 9, 24));
    p.drawPath(arrow);
}

void statusBusy(QPainter& p, const Pen& c)
{
    outline(p, c("#b35c00"), 3);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 5, 22, 22), 90 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(c("#f39c12"));
    p.drawEllipse(QPointF(16, 16), 5, 5);
}

void statusIdle(QPainter& p, const Pen& c)
{
    outline(p, c("#1e6b21"), 1.2);
    p.setBrush(vertical(c("#8ee27a"), c("#2e9a33")));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    outline(p, QColor("#ffffff"), 3.2);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(9.5, 16.5), QPointF(14, 21), QPointF(22.5, 11)}));
}

void update(QPainter& p, const Pen& c)
{
    outline(p, c("#1f4e79"), 3);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 6, 20, 20), 30 * 16, 250 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(c("#1f4e79"));
    p.drawPolygon(QPolygonF({QPointF(19, 4), QPointF(28, 9), QPointF(19.5, 14)}));
}

void clearSelected(QPainter& p, const Pen& c)
{
    outline(p, c("#555555"), 1);
    p.setBrush(c("#ffffff"));
    p.drawRect(QRectF(4, 4, 20, 24));
    outline(p, c("#7f8c99"), 2);
    for (qreal y : {10.0, 16.0, 22.0})
        p.drawLine(QPointF(8, y), QPointF(20, y));
    p.setPen(Qt::NoPen);
    p.setBrush(c("#d1242a"));
    p.drawRoundedRect(QRectF(16, 19, 14, 5), 1.5, 1.5);
}

void uninstall(QPainter& p, const Pen& c)
{
    outline(p, c("#5b3a12"), 1.2);
    p.setBrush(vertical(c("#f0c987"), c("#b8863b")));
    p.drawRect(QRectF(4, 10, 22, 18));
    p.drawPolygon(QPolygonF({QPointF(4, 10), QPointF(9, 4), QPointF(31, 4), QPointF(26, 10)}));
    outline(p, c("#d1242a"), 2.6);
    p.drawLine(QPointF(10, 14), QPointF(20, 24));
    p.drawLine(QPointF(20, 14), QPointF(10, 24));
}

void autorun(QPainter& p, const Pen& c)
{
    outline(p, c("#7a5a00"), 1.2);
    p.setBrush(vertical(c("#ffe27a"), c("#f0a500")));
    p.drawPolygon(QPolygonF(
        {QPointF(18, 2), QPointF(7, 18), QPointF(15, 18), QPointF(12, 30), QPointF(25, 12), QPointF(17, 12)}));
}

void folder(QPainter& p, const Pen& c)
{
    outline(p, c("#8a6d1d"), 1.1);
    p.setBrush(vertical(c("#f7d774"), c("#d9a520"), 6, 28));
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(12, 8);
    back.lineTo(14.5, 11);
    back.lineTo(29, 11);
    back.lineTo(29, 27);
    back.lineTo(3, 27);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(vertical(c("#fde9a6"), c("#e8b93a"), 13, 28));
    p.drawPolygon(QPolygonF({QPointF(3, 27), QPointF(7, 14), QPointF(31, 14), QPointF(27, 27)}));
}

void shortcut(QPainter& p, const Pen& c)
{
    outline(p, c("#555555"), 1);
    p.setBrush(c("#ffffff"));
    p.drawRect(QRectF(4, 3, 20, 26));
    outline(p, c("#1f4e79"), 1);
    p.setBrush(c("#ffffff"));
    p.drawRect(QRectF(4, 17, 12, 12));
    QPainterPath arrow;
    arrow.moveTo(7, 27);
    arrow.quadTo(7, 21, 12, 21);
    arrow.lineTo(12, 18.5);
    arrow.lineTo(15, 22.5);
    arrow.lineTo(12, 26.5);
    arrow.lineTo(12, 24);
    arrow.quadTo(9, 24, 7, 27);
    p.setPen(Qt::NoPen);
    p.setBrush(c("#1f4e79"));
    p.drawPath(arrow);
}

void glow(QPainter& p)
{
    QRadialGradient g(16, 16, 16);
    g.setColorAt(0, QColor(255, 244, 200, 200));
    g.setColorAt(1, QColor(255, 244, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 16), 16, 16);
}

} // namespace

QImage draw(Picture picture, int size, bool highlighted)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const Pen c{highlighted};
    if (highlighted)
        glow(p);
    switch (picture) {
    case Picture::Search:
        magnifier(p, c);
        break;
    case Picture::Stop:
        stopSign(p, c);
        break;
    case Picture::Estimate:
        estimate(p, c);
        break;
    case Picture::Delete:
        trash(p, c);
        break;
    case Picture::Addons:
        addons(p, c);
        break;
    case Picture::Options:
        gear(p, c);
        break;
    case Picture::Exit:
        door(p, c);
        break;
    case Picture::StatusBusy:
        statusBusy(p, c);
        break;
    case Picture::StatusIdle:
        statusIdle(p, c);
        break;
    case Picture::Update:
        update(p, c);
        break;
    case Picture::ClearSelected:
        clearSelected(p, c);
        break;
    case Picture::Uninstall:
        uninstall(p, c);
        break;
    case Picture::Autorun:
        autorun(p, c);
        break;
    case Picture::Folder:
        folder(p, c);
        break;
    case Picture::Shortcut:
        shortcut(p, c);
        break;
    }
    return image;
}

} // namespace IconPainter
