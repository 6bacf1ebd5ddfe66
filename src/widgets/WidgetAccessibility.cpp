#include "widgets/WidgetAccessibility.h"

#include "widgets/ColourLogView.h"
#include "widgets/ColourLogViewAccessible.h"
#include "widgets/PartsProgressBar.h"
#include "widgets/PartsProgressBarAccessible.h"

#include <QAccessible>

namespace {

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == u"ColourLogView")
        if (auto* log = qobject_cast<ColourLogView*>(object))
            return new ColourLogViewAccessible(log);
    if (className == u"PartsProgressBar")
        if (auto* bar = qobject_cast<PartsProgressBar*>(object))
            return new PartsProgressBarAccessible(bar);
    return nullptr;
}

} // namespace

void installWidgetAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}
