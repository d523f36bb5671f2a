#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// The rules of the visible-picture ratio control (AspectRatioPickerView): a ratio is width ÷
// height, absent for the full frame. The menu offers four common ratios; any other ratio is
// "Custom" and is typed as a width and a height.
class AspectRatioPicker {
public:
    // The menu's entries, in menu order.
    class Preset {
    public:
        enum Case : unsigned char { fullFrame, scope239, scope235, flat185, classic43, custom };

        constexpr Preset(Case value) : value_(value) {}
        constexpr operator Case() const { return value_; }

        static constexpr std::array<Preset, 6> allCases() {
            return {fullFrame, scope239, scope235, flat185, classic43, custom};
        }

        // "Full Frame", "2.39:1", "2.35:1", "1.85:1", "4:3", "Custom".
        std::string_view title() const;
        // The listed ratio; none for the full frame and for "Custom".
        std::optional<double> knownRatio() const;

    private:
        Case value_;
    };

    // A ratio within this of a listed one counts as it (the listed ratios are 0.04 apart or
    // more, so at most one matches).
    static constexpr double matchTolerance = 0.001;
    // Where "Custom" starts from the full frame or a listed ratio: 2:1.
    static constexpr double customStart = 2.0;

    // The entry that shows for a ratio.
    static Preset presetSelection(std::optional<double> ratio);
    // The ratio after choosing `preset` from the menu while `current` is in force: "Custom"
    // keeps a custom ratio and starts at 2:1 otherwise.
    static std::optional<double> ratioForPreset(Preset preset, std::optional<double> current);

    // A decimal number as typed: the whole text must be one ("," taken for "."), with no
    // spaces around it; an optional sign, digits with an optional point, an optional exponent.
    static std::optional<double> parseNumber(std::string_view text);
    // width ÷ height of the two custom texts; nothing when either is no number, the height is
    // 0 or the quotient is not a finite number. A ratio is usable only above 0 (callers check).
    static std::optional<double> fieldRatio(std::string_view width, std::string_view height);
    // A ratio for the width field: no decimals when it is whole ("2"), else two ("2.39").
    static std::string format(double ratio);
};

// The two texts of the custom row ("W" : "H") and how they follow the ratio. They keep what
// the user typed as long as it gives the ratio in force.
struct CustomRatioFields {
    std::string width;
    std::string height;

    // The ratio the texts give, when it is usable (above 0).
    std::optional<double> usableRatio() const;

    // The row came on screen: the ratio (2:1 when absent) as "W", and "1".
    void appear(std::optional<double> ratio);
    // Return in either field: texts that give no usable ratio are replaced as on appearing.
    void submit(std::optional<double> ratio);
    // The ratio changed, from here or elsewhere: texts that do not give it (within the match
    // tolerance) are replaced by it; a change to the full frame leaves them.
    void ratioChanged(std::optional<double> ratio);
};

} // namespace tandrel
