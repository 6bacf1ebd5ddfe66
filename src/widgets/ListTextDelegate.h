#pragma once
// Paints the plain one-line texts of a list's cells from text laid out once
// and kept between paints. A list whose newest row goes on top repaints
// every visible row each frame while a search adds rows, and laying out
// (shaping) each row's text anew was most of that paint. A cell with an
// icon, a check box, another alignment, wrapping or eliding is painted as
// QStyledItemDelegate paints it; so is everything but the text itself
// (background, selection, focus), by the style.

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class ListTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ListTextDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    // Texts met lately, laid out in font; emptied when it grows past a few
    // screens of rows or the font changes.
    mutable QHash<QString, QStaticText> laidOut_;
    mutable QFont font_;
};
