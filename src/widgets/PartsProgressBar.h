#pragma once
// A progress bar that counts parts: a total and how many are completed. It
// shows completed x 100 / total as a whole percentage, rounded to the
// nearest (ties to even); completed is never above total, and a total of 0
// shows 0 %.

#include <QColor>
#include <QWidget>

class PartsProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit PartsProgressBar(QWidget* parent = nullptr);

    qint64 totalParts() const { return total_; }
    qint64 partsComplete() const { return complete_; }
    // Sets the total; a negative total counts as 0. Completed is cut to it.
    void setTotalParts(qint64 total);
    // Sets the completed parts, cut to the range 0..total.
    void setPartsComplete(qint64 parts);
    void addParts(qint64 parts) { setPartsComplete(complete_ + parts); }

    // The percentage shown.
    int percentDone() const;

    void setBarColor(const QColor& c);
    void setTextColor(const QColor& c);

    QSize sizeHint() const override { return {150, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Tells assistive technology the value changed (when any listens).
    void announce();

    qint64 total_ = 0;
    qint64 complete_ = 0;
    QColor bar_ = Qt::darkBlue;
    QColor text_ = Qt::darkBlue;
};
