#include "timecode/ui/model/TimecodeFieldPasteValidation.h"

namespace timecode {

namespace {

Timecode withProperties(const TimecodeComponents &components,
                        const TimecodeProperties &properties) {
    Timecode timecode(properties);
    timecode.setComponents(components);
    return timecode;
}

} // namespace

std::optional<Timecode> validateTimecodeFieldPaste(
    const Timecode &pastedTimecode, const TimecodeProperties &localTimecodeProperties,
    TimecodeFieldPastePolicy pastePolicy, TimecodeFieldValidationPolicy validationPolicy,
    TimecodeFieldInputStyle inputStyle) {
    using Paste = TimecodeFieldPastePolicy;
    const bool enforce = validationPolicy == TimecodeFieldValidationPolicy::enforceValid;
    const TimecodeProperties &local = localTimecodeProperties;
    const TimecodeProperties &pasted = pastedTimecode.properties();

    std::optional<Timecode> candidate;
    bool checkRanges = enforce;
    switch (pastePolicy) {
    case Paste::preserveLocalProperties:
        if (pasted.frameRate.rawValue() != local.frameRate.rawValue()) {
            return std::nullopt;
        }
        if (enforce) {
            if (!pastedTimecode.components().invalidComponents(pasted).empty()) {
                return std::nullopt;
            }
            candidate = pastedTimecode;
        } else {
            candidate = withProperties(pastedTimecode.components(), local);
        }
        break;
    case Paste::allowNewProperties:
        candidate = pastedTimecode;
        break;
    case Paste::discardProperties:
        candidate = withProperties(pastedTimecode.components(), local);
        break;
    }

    if (checkRanges && !candidate->isValid()) {
        return std::nullopt;
    }
    if (inputStyle != TimecodeFieldInputStyle::unbounded) {
        const TimecodeProperties &widths =
            pastePolicy == Paste::allowNewProperties ? pasted : local;
        if (!candidate->components().isWithinValidDigitCounts(widths.frameRate,
                                                              widths.subFramesBase)) {
            return std::nullopt;
        }
    }
    return candidate;
}

TimecodeFieldPasteValidationResult TimecodeFieldPasteValidationResult::of(
    const Timecode &pastedTimecode, const TimecodeProperties &localTimecodeProperties,
    TimecodeFieldPastePolicy pastePolicy, TimecodeFieldValidationPolicy validationPolicy,
    TimecodeFieldInputStyle inputStyle) {
    if (auto timecode = validateTimecodeFieldPaste(pastedTimecode, localTimecodeProperties,
                                                   pastePolicy, validationPolicy, inputStyle)) {
        return allowed(*timecode);
    }
    return rejected(UserAction::pasteRejected());
}

bool operator==(const TimecodeFieldPasteValidationResult &lhs,
                const TimecodeFieldPasteValidationResult &rhs) {
    if (lhs.timecode_ && rhs.timecode_) {
        return lhs.timecode_->isIdentical(*rhs.timecode_);
    }
    return !lhs.timecode_ && !rhs.timecode_ && lhs.userAction_ == rhs.userAction_;
}

std::size_t TimecodeFieldPasteValidationResult::hashValue() const {
    if (timecode_) {
        return std::hash<TimecodeComponents>{}(timecode_->components()) ^
               (std::hash<TimecodeProperties>{}(timecode_->properties()) << 1);
    }
    return ~userAction_.hashValue();
}

} // namespace timecode
