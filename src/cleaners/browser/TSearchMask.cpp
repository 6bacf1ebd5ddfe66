#include "cleaners/browser/TSearchMask.h"

#include "cleaners/browser/EFileSearchError.h"

namespace {

// Upper case of one character; plain ASCII without a library call, since
// most names are ASCII and every name character passes through here.
inline QChar upperOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'a' && u <= u'z' ? QChar(char16_t(u - 0x20)) : c;
    return c.toUpper();
}

} // namespace

void TSearchMask::invalid(const QString& mask, qsizetype position)
{
    throw EFileSearchError(QStringLiteral("'%1' is an invalid mask at (%2)").arg(mask).arg(position));
}

TSearchMask::TSearchMask(const QString& mask)
{
    // Character by character, so positions in errors stay those of mask.
    QString upper = mask;
    for (QChar& c : upper)
        c = upperOf(c);
    int stars = 0;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        const QChar c = upper[i];
        const bool afterStar = !tokens_.isEmpty() && tokens_.last().kind == Kind::Star;
        if (c == u'*') {
            if (afterStar)
                continue; // "**" is one element
            if (++stars > MaxStars)
                invalid(mask, i + 1);
            tokens_.append({Kind::Star, {}, false, {}});
        } else if (c == u'?') {
            if (!afterStar)
                tokens_.append({Kind::AnyChar, {}, false, {}});
        } else if (c == u'[') {
            i = compileSet(mask, upper, i);
        } else {
            tokens_.append({Kind::Literal, c, false, {}});
        }
    }
}

// Compiles the set whose "[" stands at open; returns the index of its "]".
qsizetype TSearchMask::compileSet(const QString& mask, const QString& upper, qsizetype open)
{
    Token t;
    t.kind = Kind::Set;
    qsizetype i = open + 1;
    if (i < upper.size() && upper[i] == u'!') {
        t.negated = true;
        ++i;
    }
    if (i < upper.size() && upper[i] == u'-')
        invalid(mask, i + 1);
    for (; i < upper.size() && upper[i] != u']'; ++i) {
        const QChar first = upper[i];
        QChar last = first;
        if (i + 2 < upper.size() && upper[i + 1] == u'-' && upper[i + 2] != u']') {
            last = upper[i + 2];
            i += 2;
        }
        t.ranges << first << last;
    }
    if (i >= upper.size())
        invalid(mask, open + 1);
    tokens_.append(t);
    return i;
}

bool TSearchMask::inSet(const Token& t, QChar c)
{
    for (qsizetype k = 0; k + 1 < t.ranges.size(); k += 2) {
        if (c >= t.ranges[k] && c <= t.ranges[k + 1])
            return true;
    }
    return false;
}

bool TSearchMask::matchesOne(const Token& t, QChar c)
{
    switch (t.kind) {
    case Kind::Literal:
        return t.ch == c;
    case Kind::AnyChar:
        return true;
    case Kind::Set:
        return inSet(t, c) != t.negated;
    case Kind::Star:
        break;
    }
    return false;
}

bool TSearchMask::matches(QStringView name) const
{
    // Every token but "*" takes exactly one character, so the last "*"
    // seen is the only place to back up to.
    qsizetype ti = 0, ni = 0, starToken = -1, starName = 0;
    while (ni < name.size()) {
        if (ti < tokens_.size() && tokens_[ti].kind == Kind::Star) {
            starToken = ti++;
            starName = ni;
        } else if (ti < tokens_.size() && matchesOne(tokens_[ti], upperOf(name[ni]))) {
            ++ti;
            ++ni;
        } else if (starToken >= 0) {
            ti = starToken + 1;
            ni = ++starName;
        } else {
            return false;
        }
    }
    while (ti < tokens_.size() && tokens_[ti].kind == Kind::Star)
        ++ti;
    return ti == tokens_.size();
}
