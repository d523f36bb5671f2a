#include "timecode/core/TimecodeStringFormat.h"

namespace timecode {

const std::array<TimecodeStringFormatOption, 3> &TimecodeStringFormatOption::allCases() {
    static constexpr std::array<TimecodeStringFormatOption, 3> cases{alwaysShowDays, showSubFrames,
                                                                     filenameCompatible};
    return cases;
}

std::optional<TimecodeStringFormatOption>
TimecodeStringFormatOption::fromName(std::string_view name) {
    for (TimecodeStringFormatOption option : allCases()) {
        if (option.name() == name) {
            return option;
        }
    }
    return std::nullopt;
}

std::string_view TimecodeStringFormatOption::name() const {
    constexpr std::string_view names[] = {"alwaysShowDays", "showSubFrames", "filenameCompatible"};
    return names[value_];
}

std::vector<TimecodeStringFormatOption> TimecodeStringFormat::options() const {
    std::vector<Option> held;
    for (Option option : Option::allCases()) {
        if (contains(option)) {
            held.push_back(option);
        }
    }
    return held;
}

} // namespace timecode

timecode::TimecodeStringFormatOption
nlohmann::adl_serializer<timecode::TimecodeStringFormatOption>::from_json(
    const timecode::Json &json) {
    using namespace timecode;
    if (!json.is_string()) {
        throw DecodingError(DecodingError::Kind::typeMismatch,
                            "Expected to decode String but found " + std::string(json.type_name()) +
                                " instead.");
    }
    if (const auto option =
            TimecodeStringFormatOption::fromName(json.get_ref<const std::string &>())) {
        return *option;
    }
    throw DecodingError(DecodingError::Kind::valueNotFound, "Decoded value is not valid.");
}
