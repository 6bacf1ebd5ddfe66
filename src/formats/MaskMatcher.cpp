#include "formats/MaskMatcher.h"

#include "formats/NameOrder.h"

namespace formats {

namespace {

using NameOrder::fold;

bool hasWildcards(const QString& s)
{
    return s.contains(u'*') || s.contains(u'?');
}

// Iterative glob with single-star backtracking: linear in practice and never
// recursive, so hostile masks cannot blow the stack. The mask's star is
// tested first: a host name may hold a '*' of its own, and comparing it
// literally would spend the wildcard on it.
bool globMatch(QStringView mask, QStringView name)
{
    qsizetype m = 0, n = 0, starM = -1, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            starM = m++;
            starN = n;
        } else if (m < mask.size() && (mask[m] == u'?' || mask[m].unicode() == fold(name[n]))) {
            ++m;
            ++n;
        } else if (starM >= 0) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

} // namespace

MaskMatcher::MaskMatcher(const QString& mask)
{
    if (mask.isEmpty())
        return;
    if (mask == u"*" || mask == u"*.*") {
        kind_ = Kind::All;
        return;
    }
    for (QChar c : mask)
        folded_.append(QChar(c == u'*' || c == u'?' ? c.unicode() : fold(c)));
    const QString rest = folded_.mid(1);
    if (folded_.startsWith(u'*') && !hasWildcards(rest)) {
        kind_ = Kind::Suffix;
        folded_ = rest;
    } else {
        kind_ = hasWildcards(folded_) ? Kind::Pattern : Kind::Exact;
    }
}

bool MaskMatcher::matches(QStringView name) const
{
    switch (kind_) {
    case Kind::Nothing:
        return false;
    case Kind::All:
        return true;
    case Kind::Suffix: {
        if (name.size() < folded_.size())
            return false;
        // From the end: most names that do not match differ in their last
        // character already.
        const qsizetype off = name.size() - folded_.size();
        for (qsizetype i = folded_.size() - 1; i >= 0; --i)
            if (fold(name[off + i]) != folded_.at(i).unicode())
                return false;
        return true;
    }
    case Kind::Exact:
        if (name.size() != folded_.size())
            return false;
        for (qsizetype i = 0; i < name.size(); ++i)
            if (fold(name[i]) != folded_.at(i).unicode())
                return false;
        return true;
    case Kind::Pattern:
        return globMatch(folded_, name);
    }
    return false;
}

bool MaskMatcher::match(const QString& mask, QStringView name)
{
    return MaskMatcher(mask).matches(name);
}

} // namespace formats
