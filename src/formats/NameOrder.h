#pragma once
// The order in which folder entries are listed: by name without regard to
// case, names equal but for case in code-unit order, so that every run
// lists the same folder the same way.

#include <QChar>
#include <QStringView>

namespace formats::NameOrder {

// Case-folded code unit; a fast path for ASCII.
inline char16_t fold(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'A' && u <= 'Z') ? char16_t(u + 32) : u;
    return c.toCaseFolded().unicode();
}

// <0, 0 or >0 as a sorts before, equal to, or after b. The caller may pass
// in `from` how many leading code units (at most the shorter name's length)
// it already knows to fold alike, to skip folding them again.
inline int compare(QStringView a, QStringView b, qsizetype from = 0)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = from; i < n; ++i) {
        const char16_t x = fold(a[i]), y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

inline bool less(QStringView a, QStringView b)
{
    return compare(a, b) < 0;
}

// True when a and b are the same name without regard to case.
inline bool equalIgnoringCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

} // namespace formats::NameOrder
