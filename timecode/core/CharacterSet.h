#pragma once

#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace timecode {

// A set of Unicode scalars. Characters are given as UTF-8 text (one user-perceived character
// may be several scalars); malformed bytes count as U+FFFD.
class CharacterSet {
public:
    CharacterSet() = default;
    // Every scalar of every character.
    CharacterSet(std::initializer_list<std::string_view> characters);
    explicit CharacterSet(const std::vector<std::string> &characters);

    // True when every scalar of the character is in the set.
    bool contains(std::string_view character) const;
    bool containsScalar(char32_t scalar) const { return scalars_.count(scalar) != 0; }

    CharacterSet &operator+=(const CharacterSet &other);
    CharacterSet &operator-=(const CharacterSet &other);
    friend CharacterSet operator+(CharacterSet lhs, const CharacterSet &rhs) { return lhs += rhs; }
    friend CharacterSet operator-(CharacterSet lhs, const CharacterSet &rhs) { return lhs -= rhs; }
    friend bool operator==(const CharacterSet &, const CharacterSet &) = default;

private:
    void insert(std::string_view character);

    std::set<char32_t> scalars_;
};

// The Unicode scalars of UTF-8 text.
std::vector<char32_t> unicodeScalars(std::string_view text);

} // namespace timecode
