#include "timecode/ui/model/TimecodeTextRules.h"

#include "timecode/core/Timecode.h"

namespace timecode {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

TimecodeTextRules::PartialCheck TimecodeTextRules::isPartialStringValid(
    std::string_view proposed, std::optional<TimecodeFrameRate> frameRate,
    std::optional<TimecodeUpperLimit> upperLimit, TimecodeStringFormat stringFormat) {
    using Verdict = PartialCheck::Verdict;
    if (!frameRate || !upperLimit || proposed.empty()) {
        return {Verdict::valid, std::string(proposed), std::nullopt};
    }
    if (proposed.find_first_not_of("0123456789:;. ") != std::string_view::npos) {
        return {Verdict::rejected, {}, "Invalid characters."};
    }
    const PartialCheck refused{Verdict::rejected, {}, std::nullopt};

    int separators = 0;
    int points = 0;
    int digitGroups = 0;
    bool spaceAccepted = false;
    bool changed = false;
    std::string rebuilt;
    for (size_t i = 0; i < proposed.size(); ++i) {
        char c = proposed[i];
        if ((c == '.' || c == ';') && separators < 3) {
            c = frameRate->isDrop() && separators == 2 ? ';' : ':';
            changed = true;
        }
        if (isDigit(c)) {
            if (i == 0 || !isDigit(proposed[i - 1])) {
                ++digitGroups;
            }
        } else if (c == ' ') {
            const bool afterDays = *upperLimit == TimecodeUpperLimit::max100Days &&
                                   digitGroups == 1 && !spaceAccepted && separators == 0 &&
                                   points == 0;
            if (!afterDays) {
                return refused;
            }
            spaceAccepted = true;
        } else if (c == ':' || c == ';') {
            if (++separators > 3) {
                return refused;
            }
        } else if (++points > 1 || !stringFormat.showSubFrames()) {
            return refused;
        }
        rebuilt.push_back(c);
    }
    return {changed ? Verdict::replaced : Verdict::valid, std::move(rebuilt), std::nullopt};
}

std::string TimecodeTextRules::string(std::string_view text,
                                      const std::optional<TimecodeProperties> &properties,
                                      TimecodeStringFormat stringFormat) {
    if (!properties) {
        return std::string(text);
    }
    try {
        Timecode timecode(*properties);
        timecode.setComponents(Timecode::decode(text));
        return timecode.stringValue(stringFormat);
    } catch (const Timecode::StringParseError &) {
        return std::string(text);
    }
}

} // namespace timecode
