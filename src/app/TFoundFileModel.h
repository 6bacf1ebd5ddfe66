#pragma once
// The rows of the found-file list: path (the caption, possibly behind skip
// markers), name, size text and an index into the icon list. New rows go to
// the top; rows are kept oldest-first underneath, so inserting at the top
// costs nothing however long the list grows.

#include "platform/EntryId.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

class TFoundFileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QString caption;
        QString name;
        QString size;
        int imageIndex = -1;
        platform::EntryId id; // what the entry was when found; deletion checks it
    };

    // icons is the icon list the rows index into; it must outlive the model.
    explicit TFoundFileModel(const QList<QIcon>* icons, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Inserts row as the new first row.
    void insertTop(Row row);

    // The row shown at position (0 = top). Position must be valid.
    const Row& rowAt(int position) const;
    void setCaption(int position, const QString& caption);

    // Every caption, top to bottom, and all of them replaced at once (the
    // same count, in the same order).
    QStringList captions() const;
    void setCaptions(const QStringList& captions);

    // Removes the rows at these positions (any order, duplicates allowed).
    void removePositions(QList<int> positions);
    void clearRows();

private:
    size_t indexOf(int position) const { return rows_.size() - 1 - size_t(position); }

    std::vector<Row> rows_; // oldest first
    const QList<QIcon>* icons_;
};
