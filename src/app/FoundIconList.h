#pragma once
// The found-file list's icons: one for each row appended, by the row's
// number. A search meets a handful of file types among hundreds of
// thousands of rows, so the list keeps each distinct icon once and a
// 2-byte number per row.

#include <QHash>
#include <QIcon>
#include <QList>

#include <deque>

class FoundIconList {
public:
    // Appends the next row's icon. Past 65 535 distinct icons a row with a
    // new one shows none.
    void append(const QIcon& icon);
    void clear();

    // Rows appended since the last clear.
    qsizetype size() const { return qsizetype(byRow_.size()); }
    // Row i's icon; a null icon for a row that does not exist.
    QIcon at(qsizetype i) const;

private:
    static constexpr quint16 None = 0xFFFF;

    quint16 indexOf(const QIcon& icon);

    QList<QIcon> distinct_;
    QHash<qint64, quint16> byKey_; // cache key to index: equal keys, one shared icon
    std::deque<quint16> byRow_;
    quint16 lastIndex_ = None;
};
