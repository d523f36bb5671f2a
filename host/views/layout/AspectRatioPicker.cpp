#include "host/views/layout/AspectRatioPicker.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tandrel {

std::string_view AspectRatioPicker::Preset::title() const {
    switch (value_) {
    case fullFrame:
        return "Full Frame";
    case scope239:
        return "2.39:1";
    case scope235:
        return "2.35:1";
    case flat185:
        return "1.85:1";
    case classic43:
        return "4:3";
    case custom:
        return "Custom";
    }
    return {};
}

std::optional<double> AspectRatioPicker::Preset::knownRatio() const {
    switch (value_) {
    case scope239:
        return 2.39;
    case scope235:
        return 2.35;
    case flat185:
        return 1.85;
    case classic43:
        return 4.0 / 3.0;
    case fullFrame:
    case custom:
        return std::nullopt;
    }
    return std::nullopt;
}

namespace {

std::optional<AspectRatioPicker::Preset> listedMatch(double ratio) {
    for (const AspectRatioPicker::Preset preset : AspectRatioPicker::Preset::allCases()) {
        const std::optional<double> known = preset.knownRatio();
        if (known && std::abs(*known - ratio) < AspectRatioPicker::matchTolerance) {
            return preset;
        }
    }
    return std::nullopt;
}

} // namespace

AspectRatioPicker::Preset AspectRatioPicker::presetSelection(std::optional<double> ratio) {
    if (!ratio) {
        return Preset::fullFrame;
    }
    return listedMatch(*ratio).value_or(Preset::custom);
}

std::optional<double> AspectRatioPicker::ratioForPreset(Preset preset,
                                                        std::optional<double> current) {
    switch (preset) {
    case Preset::fullFrame:
        return std::nullopt;
    case Preset::custom: {
        const double ratio = current.value_or(customStart);
        return listedMatch(ratio) ? customStart : ratio;
    }
    default:
        return preset.knownRatio();
    }
}

std::optional<double> AspectRatioPicker::parseNumber(std::string_view text) {
    std::string number(text);
    for (char &c : number) {
        if (c == ',') {
            c = '.';
        }
    }
    const char *first = number.data();
    const char *last = number.data() + number.size();
    // from_chars takes no plus sign; one plus, not followed by another sign, is allowed.
    if (first != last && *first == '+' && first + 1 != last && first[1] != '-' && first[1] != '+') {
        ++first;
    }
    if (first == last) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> AspectRatioPicker::fieldRatio(std::string_view width,
                                                    std::string_view height) {
    const std::optional<double> w = parseNumber(width);
    const std::optional<double> h = parseNumber(height);
    if (!w || !h || *h == 0) {
        return std::nullopt;
    }
    // "inf", "nan" and quotients that overflow ("1" : "1e-320") are no ratio a preset can
    // keep: its file form has no such numbers.
    const double ratio = *w / *h;
    if (!std::isfinite(ratio)) {
        return std::nullopt;
    }
    return ratio;
}

std::string AspectRatioPicker::format(double ratio) {
    const int decimals = ratio - std::trunc(ratio) == 0 ? 0 : 2;
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), ratio,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

std::optional<double> CustomRatioFields::usableRatio() const {
    const std::optional<double> ratio = AspectRatioPicker::fieldRatio(width, height);
    if (ratio && *ratio > 0) {
        return ratio;
    }
    return std::nullopt;
}

void CustomRatioFields::appear(std::optional<double> ratio) {
    width = AspectRatioPicker::format(ratio.value_or(AspectRatioPicker::customStart));
    // Assigned as a character: GCC 12 misreads assigning a short literal (-Wrestrict).
    height.assign(1, '1');
}

void CustomRatioFields::submit(std::optional<double> ratio) {
    if (!usableRatio()) {
        appear(ratio);
    }
}

void CustomRatioFields::ratioChanged(std::optional<double> ratio) {
    if (!ratio) {
        return;
    }
    const std::optional<double> typed = AspectRatioPicker::fieldRatio(width, height);
    if (typed && std::abs(*typed - *ratio) <= AspectRatioPicker::matchTolerance) {
        return;
    }
    appear(ratio);
}

} // namespace tandrel
