#pragma once
// Wildcard masks as the Windows file search reads them: without regard to
// case, "*" any run of characters, "?" exactly one, and "*.*" every name,
// also a name without a dot.

#include <QString>

namespace formats {

class MaskMatcher {
public:
    // Prepares mask for repeated matching; an empty mask matches nothing.
    explicit MaskMatcher(const QString& mask);

    // True when name matches the mask.
    bool matches(QStringView name) const;

    // True when every name matches ("*", "*.*"), so callers can skip testing.
    bool matchesAll() const { return kind_ == Kind::All; }

    // One-off convenience for matches().
    static bool match(const QString& mask, QStringView name);

private:
    enum class Kind { Nothing, All, Suffix, Exact, Pattern };
    Kind kind_ = Kind::Nothing;
    QString folded_; // case-folded mask (or its literal part for Suffix)
};

} // namespace formats
