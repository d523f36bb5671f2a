#include "timecode/ui/model/TimecodeFieldAction.h"

namespace timecode {

const std::array<TimecodeFieldAction, 8> &TimecodeFieldAction::allCases() {
    using C = TimecodeComponent;
    static const std::array<TimecodeFieldAction, 8> cases{
        resetComponentFocus(C::days),
        resetComponentFocus(C::hours),
        resetComponentFocus(C::minutes),
        resetComponentFocus(C::seconds),
        resetComponentFocus(C::frames),
        resetComponentFocus(C::subFrames),
        endEditing(),
        focusNextComponent(),
    };
    return cases;
}

std::optional<TimecodeFieldAction> TimecodeFieldAction::fromRawValue(std::string_view text) {
    for (const TimecodeFieldAction &action : allCases()) {
        if (action.rawValue() == text) {
            return action;
        }
    }
    return std::nullopt;
}

std::string TimecodeFieldAction::rawValue() const {
    switch (kind_) {
    case Kind::resetComponentFocus:
        if (component_) {
            return std::string("resetComponentFocus-to-").append(component_->nameLowerCamelCase());
        }
        return "resetComponentFocus";
    case Kind::endEditing:
        return "endEditing";
    case Kind::focusNextComponent:
        return "focusNextComponent";
    }
    return {};
}

} // namespace timecode
