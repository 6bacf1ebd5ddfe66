#include "widgets/FlatMenuStyle.h"

#include <QMenu>
#include <QMenuBar>
#include <QVariant>

namespace {

const char* const kFlatProperty = "varnelFlatMenus";

const char* const kFlatSheet = R"(
QMenuBar { background: #f4f3ee; border-bottom: 1px solid #d8d5cc; }
QMenuBar::item { padding: 3px 8px; background: transparent; }
QMenuBar::item:selected { background: #c1d2ee; border: 1px solid #316ac5; }
QMenu { background: #ffffff; border: 1px solid #8a867a; padding: 1px; }
QMenu::item { padding: 3px 24px 3px 28px; border: 1px solid transparent; }
QMenu::item:selected { background: #c1d2ee; border: 1px solid #316ac5; color: #000000; }
QMenu::icon { padding-left: 4px; }
QMenu::separator { height: 1px; background: #c5c2b8; margin: 3px 4px 3px 28px; }
)";

} // namespace

void FlatMenuStyle::apply(QMenuBar* bar, const QList<QMenu*>& otherMenus, bool flat)
{
    if (!bar || isFlat(bar) == flat)
        return;
    bar->setProperty(kFlatProperty, flat);
    const QString sheet = flat ? QString::fromLatin1(kFlatSheet) : QString();
    bar->setStyleSheet(sheet);
    // A menu shows as a window of its own, out of reach of the bar's sheet.
    QList<QMenu*> menus = bar->findChildren<QMenu*>() + otherMenus;
    for (const QList<QMenu*> copy = menus; QMenu * menu : copy)
        menus += menu->findChildren<QMenu*>();
    for (QMenu* menu : menus)
        menu->setStyleSheet(sheet);
}

bool FlatMenuStyle::isFlat(const QMenuBar* bar)
{
    return bar && bar->property(kFlatProperty).toBool();
}
