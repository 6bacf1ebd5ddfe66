#include "widgets/ListTextDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

// Cells this delegate paints itself: one line of left-aligned, vertically
// centred text, cut off at the cell's edge, and nothing else.
bool plainText(const QStyleOptionViewItem& opt)
{
    constexpr auto others = QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasCheckIndicator
        | QStyleOptionViewItem::WrapText;
    return !(opt.features & others) && !opt.text.isEmpty() && opt.textElideMode == Qt::ElideNone
        && opt.displayAlignment == (Qt::AlignLeft | Qt::AlignVCenter) && opt.direction == Qt::LeftToRight
        && !(opt.state & QStyle::State_Editing) && !opt.text.contains(QChar::LineSeparator)
        && !opt.text.contains(u'\n');
}

// The text's colour as the style would pick it.
QColor textColour(const QStyleOptionViewItem& opt)
{
    QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
        group = QPalette::Inactive;
    return opt.palette.color(group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
}

constexpr qsizetype kKeptTexts = 512;

} // namespace

ListTextDelegate::ListTextDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{}

const QStaticText& ListTextDelegate::laidOut(const QString& text, const QFont& font) const
{
    if (font != font_ || laidOut_.size() >= kKeptTexts) {
        laidOut_.clear();
        font_ = font;
    }
    auto found = laidOut_.find(text);
    if (found == laidOut_.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), font);
        found = laidOut_.insert(text, laid);
    }
    return *found;
}

void ListTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (!plainText(opt)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QString text = opt.text;
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect box = opt.rect.adjusted(margin, 0, -margin, 0);
    const QStaticText& laid = laidOut(text, opt.font);
    painter->save();
    painter->setClipRect(opt.rect);
    painter->setFont(opt.font);
    painter->setPen(textColour(opt));
    painter->drawStaticText(QPointF(box.left(), box.top() + (box.height() - laid.size().height()) / 2), laid);
    painter->restore();
}
