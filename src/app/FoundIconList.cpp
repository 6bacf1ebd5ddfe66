#include "app/FoundIconList.h"

void FoundIconList::append(const QIcon& icon)
{
    byRow_.push_back(indexOf(icon));
}

void FoundIconList::clear()
{
    distinct_.clear();
    keys_.clear();
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
    if (lastIndex_ != None && keys_.at(lastIndex_) == key)
        return lastIndex_;
    qsizetype found = keys_.indexOf(key);
    if (found < 0) {
        if (distinct_.size() >= None)
            return None;
        distinct_.append(icon);
        keys_.append(key);
        found = keys_.size() - 1;
    }
    lastIndex_ = quint16(found);
    return lastIndex_;
}
