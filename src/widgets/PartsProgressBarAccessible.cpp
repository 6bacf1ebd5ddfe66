#include "widgets/PartsProgressBarAccessible.h"

#include "widgets/PartsProgressBar.h"

PartsProgressBarAccessible::PartsProgressBarAccessible(PartsProgressBar* bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar)
{}

PartsProgressBar* PartsProgressBarAccessible::bar() const
{
    return static_cast<PartsProgressBar*>(widget());
}

void* PartsProgressBarAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PartsProgressBarAccessible::text(QAccessible::Text t) const
{
    // The value as the bar shows it: the percentage.
    if (t == QAccessible::Value)
        return QStringLiteral("%1 %").arg(bar()->percentDone());
    return QAccessibleWidget::text(t);
}

QVariant PartsProgressBarAccessible::currentValue() const
{
    return bar()->partsComplete();
}

void PartsProgressBarAccessible::setCurrentValue(const QVariant&)
{
    // The work done is not the user's to change.
}

QVariant PartsProgressBarAccessible::maximumValue() const
{
    return bar()->totalParts();
}

QVariant PartsProgressBarAccessible::minimumValue() const
{
    return qint64(0);
}

QVariant PartsProgressBarAccessible::minimumStepSize() const
{
    return qint64(1);
}
