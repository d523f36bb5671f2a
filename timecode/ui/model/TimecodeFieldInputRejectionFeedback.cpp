#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"

namespace timecode {

using UserAction = TimecodeFieldInputRejectionFeedback::UserAction;

std::optional<TimecodeComponent> UserAction::component() const {
    return kind_ == Kind::keyRejected ? std::optional(component_) : std::nullopt;
}

std::optional<KeyEquivalent> UserAction::key() const {
    return kind_ == Kind::keyRejected ? std::optional(key_) : std::nullopt;
}

std::optional<TimecodeFieldInputRejectionFeedback::Reason> UserAction::reason() const {
    return kind_ == Kind::keyRejected ? std::optional(reason_) : std::nullopt;
}

std::string UserAction::description() const {
    if (kind_ == Kind::pasteRejected) {
        return "pasteRejected";
    }
    std::string text = "keyRejected(";
    text.append(component_.nameLowerCamelCase()).append(", ").append(key_.description());
    text.append(", ").append(reason_.rawValue()).append(")");
    return text;
}

bool operator==(const UserAction &lhs, const UserAction &rhs) {
    if (lhs.kind_ != rhs.kind_) {
        return false;
    }
    return lhs.kind_ == UserAction::Kind::pasteRejected ||
           (lhs.component_ == rhs.component_ && lhs.key_ == rhs.key_ && lhs.reason_ == rhs.reason_);
}

std::size_t UserAction::hashValue() const {
    auto combine = [](std::size_t seed, std::size_t value) {
        return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
    };
    std::size_t seed = std::hash<int>{}(kind_ == Kind::keyRejected ? 0 : 1);
    if (kind_ == Kind::keyRejected) {
        seed = combine(seed, std::hash<TimecodeComponent>{}(component_));
        seed = combine(seed, std::hash<KeyEquivalent>{}(key_));
        seed = combine(seed, std::hash<std::string_view>{}(reason_.rawValue()));
    }
    return seed;
}

TimecodeFieldInputRejectionFeedback::Response TimecodeFieldInputRejectionFeedback::response(
    const std::optional<TimecodeFieldInputRejectionFeedback> &feedback, const UserAction &action) {
    if (!feedback) {
        return {};
    }
    switch (feedback->kind_) {
    case Kind::custom:
        return {false, std::nullopt, true};
    case Kind::validationBased:
        if (action.reason() == Reason::undefinedKey) {
            return {};
        }
        break;
    case Kind::validationBasedAndUndefinedKeys:
        break;
    }
    return {true, feedback->animation_, false};
}

} // namespace timecode
