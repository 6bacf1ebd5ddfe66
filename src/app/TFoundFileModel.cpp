#include "app/TFoundFileModel.h"

#include "formats/WinPath.h"

#include <algorithm>

TFoundFileModel::TFoundFileModel(const QList<QIcon>* icons, QObject* parent)
    : QAbstractTableModel(parent)
    , icons_(icons)
{}

int TFoundFileModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TFoundFileModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant TFoundFileModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const Row& row = rows_[indexOf(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return row.caption;
        case 1:
            return row.name();
        case 2:
            return row.sizeText();
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0 && row.imageIndex >= 0 && row.imageIndex < icons_->size())
        return icons_->at(row.imageIndex);
    return {};
}

QVariant TFoundFileModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral(" Путь");
    case 1:
        return QStringLiteral(" Имя файла");
    case 2:
        return QStringLiteral(" Размер ( Байт )");
    }
    return {};
}

void TFoundFileModel::insertTop(const QString& path, quint64 size, int imageIndex, const platform::EntryId& id)
{
    const int nameLength = int(formats::WinPath::extractFileName(path).size());
    beginInsertRows({}, 0, 0);
    rows_.push_back({path, id, size, nameLength, imageIndex});
    endInsertRows();
}

const TFoundFileModel::Row& TFoundFileModel::rowAt(int position) const
{
    return rows_[indexOf(position)];
}

void TFoundFileModel::setCaption(int position, const QString& caption)
{
    rows_[indexOf(position)].caption = caption;
    Q_EMIT dataChanged(index(position, 0), index(position, 0));
}

QStringList TFoundFileModel::captions() const
{
    return captions(0, rowCount());
}

void TFoundFileModel::setCaptions(const QStringList& captions)
{
    setCaptions(0, captions);
}

QStringList TFoundFileModel::captions(int first, int count) const
{
    first = qMax(0, first);
    const int last = qMin(rowCount(), first + qMax(0, count)); // one past
    QStringList out;
    out.reserve(qMax(0, last - first));
    for (int position = first; position < last; ++position)
        out.append(rows_[indexOf(position)].caption);
    return out;
}

void TFoundFileModel::setCaptions(int first, const QStringList& captions)
{
    if (first < 0)
        return;
    const int last = qMin(rowCount(), first + int(captions.size())); // one past
    for (int position = first; position < last; ++position)
        rows_[indexOf(position)].caption = captions[position - first];
    if (last > first)
        Q_EMIT dataChanged(index(first, 0), index(last - 1, 0));
}

void TFoundFileModel::removePositions(QList<int> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    // From the bottom up, merging neighbours, so each removal is one call.
    for (qsizetype i = positions.size() - 1; i >= 0;) {
        const int last = positions[i];
        int first = last;
        while (i > 0 && positions[i - 1] == first - 1)
            first = positions[--i];
        --i;
        if (first < 0 || last >= int(rows_.size()))
            continue;
        beginRemoveRows({}, first, last);
        const auto begin = rows_.begin() + qsizetype(indexOf(last));
        rows_.erase(begin, begin + (last - first + 1));
        endRemoveRows();
    }
}

void TFoundFileModel::clearRows()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}
