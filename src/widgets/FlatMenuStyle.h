#pragma once
// The two looks of a window's menus: a flat one (white menus with a grey
// image column and framed light-blue highlight) and the toolkit's own.

#include <QList>

class QMenu;
class QMenuBar;

class FlatMenuStyle {
public:
    // Gives the menu bar, every menu under it and the other menus given (a
    // tool button's drop-down, pop-up menus) the flat look or takes it away.
    // Does nothing when the bar has that look already, so it is cheap to
    // call on every paint.
    static void apply(QMenuBar* bar, const QList<QMenu*>& otherMenus, bool flat);

    // Whether the bar has the flat look now.
    static bool isFlat(const QMenuBar* bar);
};
