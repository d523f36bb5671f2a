// Feeds arbitrary text to the timecode library's text readers: timecode text, FCPXML time
// values and feet and frames. Each may only fail in its own way; the timecode scanner must
// agree with the pattern it stands for, and what reads must write back to the same value.

#include "timecode/core/FeetAndFrames.h"
#include "timecode/core/Fraction.h"
#include "timecode/core/RegexMatching.h"
#include "timecode/core/Timecode.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

using namespace timecode;

namespace {

// What the timecode text pattern makes of the text: the components, or nothing when it does not
// match or a group does not fit 64 bits.
std::optional<Timecode::Components> patternReading(std::string_view text) {
    static const auto pattern =
        compileRegex(R"(^(\d+)??[\:;\s\v]??(\d+)[\:;](\d+)[\:;](\d+)[\:\;](\d+)[\.]??(\d+)??$)");
    const auto groups = regexMatchesCaptureGroups(text, *pattern);
    if (groups.size() != 7) {
        return std::nullopt;
    }
    int64_t values[6] = {};
    for (size_t i = 0; i < 6; ++i) {
        if (const auto &group = groups[i + 1]) {
            const auto result =
                std::from_chars(group->data(), group->data() + group->size(), values[i]);
            if (result.ec != std::errc() || result.ptr != group->data() + group->size()) {
                return std::nullopt;
            }
        }
    }
    return Timecode::Components{values[0], values[1], values[2], values[3], values[4], values[5]};
}

void checkTimecodeText(std::string_view text) {
    std::optional<Timecode::Components> components;
    try {
        components = Timecode::decode(text);
    } catch (const Timecode::StringParseError &) {
    }
    if (components != patternReading(text)) {
        std::abort();
    }
    const Timecode::Properties properties(TimecodeFrameRate::fps29_97d,
                                          Timecode::SubFramesBase::max100SubFrames,
                                          Timecode::UpperLimit::max100Days);
    if (components) {
        Timecode timecode(properties);
        timecode.setComponents(*components);
        const Timecode::StringFormat all{Timecode::StringFormatOption::alwaysShowDays,
                                         Timecode::StringFormatOption::showSubFrames};
        if (Timecode::decode(timecode.stringValue(all)) != *components) {
            std::abort();
        }
    }
    // Setting from the text never fails but for the text itself or, strictly, its range.
    const auto source = FormattedTimecodeSourceValue::string(text);
    for (Timecode::ValidationRule rule : Timecode::ValidationRule::allCases()) {
        try {
            const Timecode timecode(source, properties, rule);
            if (rule != Timecode::ValidationRule::allowingInvalid && !timecode.isValid()) {
                std::abort();
            }
        } catch (const Timecode::StringParseError &) {
        }
    }
    try {
        Timecode(source, properties);
    } catch (const Timecode::StringParseError &) {
    } catch (const Timecode::ValidationError &) {
    }
}

void checkFcpxmlTime(std::string_view text) {
    const auto fraction = Fraction::fromFcpxmlString(text);
    if (!fraction) {
        return;
    }
    const auto again = Fraction::fromFcpxmlString(fraction->fcpxmlStringValue());
    if (!again || !(*again == *fraction)) {
        std::abort();
    }
}

void checkFeetAndFrames(std::string_view text) {
    try {
        const FeetAndFrames value(text, Timecode::SubFramesBase::max80SubFrames);
        if (FeetAndFrames(value.stringValueVerbose(), value.subFramesBase) != value) {
            std::abort();
        }
    } catch (const Timecode::StringParseError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkTimecodeText(text);
    checkFcpxmlTime(text);
    checkFeetAndFrames(text);
    return 0;
}
