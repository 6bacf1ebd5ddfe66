#pragma once
// The file search component's own wildcard masks, compiled once per search.
//
// Matching ignores case. "*" matches any run of characters (also none),
// "?" exactly one (a "?" right after a "*" adds nothing), "[...]" one
// character of a set of single characters and ranges ("a-z"), "[!...]" one
// character outside it; every other character matches itself, so "*.*"
// needs a dot in the name.

#include <QList>
#include <QString>

class TSearchMask {
public:
    // Compiles mask. Throws EFileSearchError "'<mask>' is an invalid mask
    // at (<position>)" (1-based) when it holds more than 30 "*"-led
    // elements (at the "*" that begins the 31st), when a set begins with "-"
    // (at the "-"), or when a "[" is never closed (at the "[").
    explicit TSearchMask(const QString& mask);

    // True when name matches the whole mask.
    bool matches(QStringView name) const;

    static constexpr int MaxStars = 30;

private:
    enum class Kind { Literal, AnyChar, Star, Set };
    struct Token {
        Kind kind = Kind::Literal;
        QChar ch;             // Literal
        bool negated = false; // Set
        QList<QChar> ranges;  // Set: pairs of first and last character
    };

    static bool inSet(const Token& t, QChar c);
    static bool matchesOne(const Token& t, QChar c);
    [[noreturn]] static void invalid(const QString& mask, qsizetype position);
    qsizetype compileSet(const QString& mask, const QString& upper, qsizetype open);

    QList<Token> tokens_;
};
