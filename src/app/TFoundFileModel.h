#pragma once
// The rows of the found-file list: path (the caption, possibly behind skip
// markers), name, size and an index into the icon list. New rows go to the
// top; rows are kept oldest-first underneath, so inserting at the top costs
// nothing however long the list grows. A search lists hundreds of thousands
// of rows, so a row keeps only what cannot be derived: the caption shares
// the finder's path text, the name is the caption's tail and the size is a
// number, both turned into text when shown.

#include "platform/EntryId.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <deque>

class TFoundFileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QString caption;
        platform::EntryId id; // what the entry was when found; deletion checks it
        quint64 size = 0;
        int nameLength = 0; // the name is this many characters at the caption's end
        int imageIndex = -1;

        QString name() const { return caption.right(nameLength); }
        QString sizeText() const { return QString::number(size); }
    };

    // icons is the icon list the rows index into; it must outlive the model.
    explicit TFoundFileModel(const QList<QIcon>* icons, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Inserts a row for path (its name is the part after the last "\" or
    // ":") as the new first row.
    void insertTop(const QString& path, quint64 size, int imageIndex, const platform::EntryId& id);

    // The row shown at position (0 = top). Position must be valid.
    const Row& rowAt(int position) const;
    void setCaption(int position, const QString& caption);

    // Every caption, top to bottom, and all of them replaced at once (the
    // same count, in the same order).
    QStringList captions() const;
    void setCaptions(const QStringList& captions);
    // The same for the count rows from position first down (cut to the rows
    // there are), so a long list can be gone through in parts.
    QStringList captions(int first, int count) const;
    void setCaptions(int first, const QStringList& captions);

    // Removes the rows at these positions (any order, duplicates allowed).
    void removePositions(QList<int> positions);
    void clearRows();

private:
    size_t indexOf(int position) const { return rows_.size() - 1 - size_t(position); }

    // Oldest first. A deque grows in blocks: a vector's doubling would hold
    // the old and the new array at once, a third more than the rows need.
    std::deque<Row> rows_;
    const QList<QIcon>* icons_;
};
