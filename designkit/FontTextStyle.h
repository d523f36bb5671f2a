#pragma once

#include <cstdint>

namespace corvane {

// The text styles a kit font is sized relative to. Linux has no per-style text size setting,
// so the relation is kept for the record and scales by 1; text still follows the desktop's
// font DPI (see corvaneFont).
class FontTextStyle {
public:
    enum Case : uint8_t {
        largeTitle,
        title,
        title2,
        title3,
        headline,
        subheadline,
        body,
        callout,
        footnote,
        caption,
        caption2,
    };

    constexpr FontTextStyle() = default;
    constexpr FontTextStyle(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

private:
    Case value_ = body;
};

} // namespace corvane
