#pragma once
// PartsProgressBar as assistive technology sees it: a progress bar whose
// value is the completed parts out of a maximum of the total parts. The
// value is shown, not set: setting it does nothing.

#include <QAccessibleWidget>

class PartsProgressBar;

class PartsProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit PartsProgressBarAccessible(PartsProgressBar* bar);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    PartsProgressBar* bar() const;
};
