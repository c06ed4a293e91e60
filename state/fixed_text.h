// A text the program keeps for its whole run: one of its fixed messages or a
// string literal. Holding one costs a pointer and a length, and writing one
// into the chart state copies no bytes. It cannot be made from a std::string,
// so a temporary cannot leave it dangling.
#pragma once

#include <concepts>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace qv {

class FixedText {
public:
    constexpr FixedText() = default;
    // A string literal.
    template <std::size_t N>
    constexpr FixedText(const char (&literal)[N]) : text_(literal, N - 1) {}  // NOLINT: implicit on purpose

    // Text of static storage duration (a table built once and never
    // changed, or bytes the caller keeps for as long as the text is used).
    static constexpr FixedText Of(std::string_view lasting) {
        FixedText t;
        t.text_ = lasting;
        return t;
    }

    constexpr std::string_view view() const { return text_; }
    constexpr operator std::string_view() const { return text_; }  // NOLINT: implicit on purpose
    std::string str() const { return std::string(text_); }
    constexpr std::size_t size() const { return text_.size(); }
    constexpr bool empty() const { return text_.empty(); }
    constexpr bool starts_with(std::string_view s) const { return text_.starts_with(s); }
    constexpr bool ends_with(std::string_view s) const { return text_.ends_with(s); }

    friend constexpr bool operator==(FixedText a, FixedText b) { return a.text_ == b.text_; }
    template <class S>
    requires std::same_as<S, std::string>
    friend bool operator==(FixedText a, const S& b) { return a.text_ == b; }
    friend std::ostream& operator<<(std::ostream& out, FixedText t) { return out << t.text_; }

private:
    std::string_view text_{""};
};

}  // namespace qv
