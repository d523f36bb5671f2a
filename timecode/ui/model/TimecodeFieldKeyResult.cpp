#include "timecode/ui/model/TimecodeFieldKeyResult.h"

namespace timecode {

std::string TimecodeFieldKeyResult::description() const {
    std::string text = "<";
    text.append(result.rawValue());
    if (updateFocus) {
        text.append(" ").append(updateFocus->rawValue());
    }
    if (rejection) {
        text.append(" ").append(rejection->rawValue());
    }
    text.push_back('>');
    return text;
}

} // namespace timecode
