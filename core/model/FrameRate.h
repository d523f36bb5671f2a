#pragma once

#include "core/support/Json.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tandrel {

// The closed set of frame rates found in the editor's libraries. NTSC rates keep the
// denominator 1001; drop-frame and non-drop-frame forms differ only in the flag and the text.
class FrameRate {
public:
    enum Case : uint8_t {
        fps23_976,
        fps24,
        fps25,
        fps29_97df,
        fps29_97ndf,
        fps30,
        fps47_952,
        fps48,
        fps50,
        fps59_94df,
        fps59_94ndf,
        fps60,
    };

    struct Rational {
        int64_t num;
        int64_t den;
        friend bool operator==(const Rational &, const Rational &) = default;
    };

    static const std::array<FrameRate, 12> allCases;

    constexpr FrameRate() = default;
    constexpr FrameRate(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    constexpr Case value() const { return value_; }

    double fps() const;
    Rational rational() const;
    int nominalFPS() const;
    bool isDropFrame() const;
    int32_t fcpTimescale() const;
    std::string_view timecodeRateString() const;
    // The case name, which is also its JSON key ("fps29_97df").
    std::string_view caseName() const;

    // Recognises a rate from the duration of one frame. Never yields a drop-frame case: the
    // caller decides drop-frame counting from a separate flag.
    static std::optional<FrameRate> from(int64_t sampleDuration, int32_t timescale);

private:
    Case value_ = fps23_976;
};

// Coded as an object whose single key names the case and holds an empty object.
void to_json(Json &json, const FrameRate &rate);
void from_json(const Json &json, FrameRate &rate);

} // namespace tandrel
