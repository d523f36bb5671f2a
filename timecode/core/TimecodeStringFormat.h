#pragma once

#include "timecode/core/Coding.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace timecode {

// One option of a timecode's text form. Known in a timecode as `Timecode::StringFormatOption`;
// coded as its case name ("showSubFrames").
class TimecodeStringFormatOption {
public:
    enum Case : uint8_t { alwaysShowDays, showSubFrames, filenameCompatible };

    static const std::array<TimecodeStringFormatOption, 3> &allCases();
    static std::optional<TimecodeStringFormatOption> fromName(std::string_view name);

    constexpr TimecodeStringFormatOption(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    constexpr Case id() const { return value_; }

    // "alwaysShowDays", "showSubFrames", "filenameCompatible".
    std::string_view name() const;

private:
    Case value_;
};

// A set of text-form options. Known in a timecode as `Timecode::StringFormat`; `{}` is the empty
// set, `{Timecode::StringFormatOption::showSubFrames}` a set of one.
class TimecodeStringFormat {
public:
    using Option = TimecodeStringFormatOption;

    constexpr TimecodeStringFormat() = default;
    constexpr TimecodeStringFormat(std::initializer_list<Option> options) {
        for (Option option : options) {
            insert(option);
        }
    }

    // The empty set.
    static constexpr TimecodeStringFormat defaults() { return {}; }
    // The set holding only showSubFrames.
    static constexpr TimecodeStringFormat withSubFrames() { return {Option::showSubFrames}; }

    constexpr bool contains(Option option) const { return (bits_ & bit(option)) != 0; }
    constexpr void insert(Option option) { bits_ = static_cast<uint8_t>(bits_ | bit(option)); }
    constexpr void remove(Option option) { bits_ = static_cast<uint8_t>(bits_ & ~bit(option)); }
    constexpr bool empty() const { return bits_ == 0; }
    // The options held, in declaration order.
    std::vector<Option> options() const;

    // Reading tells whether the option is held; writing true inserts it, false removes it.
    constexpr bool alwaysShowDays() const { return contains(Option::alwaysShowDays); }
    constexpr bool showSubFrames() const { return contains(Option::showSubFrames); }
    constexpr bool filenameCompatible() const { return contains(Option::filenameCompatible); }
    constexpr void setAlwaysShowDays(bool on) { set(Option::alwaysShowDays, on); }
    constexpr void setShowSubFrames(bool on) { set(Option::showSubFrames, on); }
    constexpr void setFilenameCompatible(bool on) { set(Option::filenameCompatible, on); }

    friend constexpr bool operator==(TimecodeStringFormat, TimecodeStringFormat) = default;

private:
    static constexpr uint8_t bit(Option option) {
        return static_cast<uint8_t>(1u << static_cast<unsigned>(option.id()));
    }
    constexpr void set(Option option, bool on) { on ? insert(option) : remove(option); }

    uint8_t bits_ = 0;
};

} // namespace timecode

// An option is coded as its case name; any other text fails as a missing value.
template <> struct nlohmann::adl_serializer<timecode::TimecodeStringFormatOption> {
    static timecode::TimecodeStringFormatOption from_json(const timecode::Json &json);
    static void to_json(timecode::Json &json, timecode::TimecodeStringFormatOption option) {
        json = std::string(option.name());
    }
};

template <> struct std::hash<timecode::TimecodeStringFormatOption> {
    std::size_t operator()(timecode::TimecodeStringFormatOption option) const noexcept {
        return std::hash<int>{}(static_cast<int>(option.id()));
    }
};
