#include "app/FoundIconList.h"

void FoundIconList::append(const QIcon& icon)
{
    byRow_.push_back(indexOf(icon));
}

void FoundIconList::clear()
{
    distinct_.clear();
    byKey_.clear();
    byRow_.clear();
    lastIndex_ = None;
}

QIcon FoundIconList::at(qsizetype i) const
{
    if (i < 0 || i >= size() || byRow_[size_t(i)] == None)
        return {};
    return distinct_.at(byRow_[size_t(i)]);
}

quint16 FoundIconList::indexOf(const QIcon& icon)
{
    // Rows of one folder mostly share a type: the last icon first.
    const qint64 key = icon.cacheKey();
    if (lastIndex_ != None && distinct_.at(lastIndex_).cacheKey() == key)
        return lastIndex_;
    auto found = byKey_.constFind(key);
    if (found == byKey_.cend()) {
        if (distinct_.size() >= None)
            return None;
        distinct_.append(icon);
        found = byKey_.insert(key, quint16(distinct_.size() - 1));
    }
    lastIndex_ = *found;
    return lastIndex_;
}
