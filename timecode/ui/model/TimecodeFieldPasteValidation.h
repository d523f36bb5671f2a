#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"
#include "timecode/ui/model/TimecodeFieldOptions.h"

#include <functional>
#include <optional>

namespace timecode {

// The paste decision of the timecode field: the timecode the field takes for a pasted one, or
// nothing when the paste is refused. The result always carries the pasted components unchanged;
// the policies decide which properties go with them and whether the paste is refused:
//
//   paste policy                           rate must match  properties of the result
//   preserveLocalProperties, allowInvalid  yes              the field's
//   preserveLocalProperties, enforceValid  yes              the pasted timecode's
//   allowNewProperties                     no               the pasted timecode's
//   discardProperties                      no               the field's
//
// Under enforceValid every component must be in range at the result's properties; under
// autoAdvance and continuousWithinComponent every component must fit its digit width (at the
// field's rate and base, or the pasted one's under allowNewProperties). Pure; any thread.
std::optional<Timecode> validateTimecodeFieldPaste(
    const Timecode &pastedTimecode, const TimecodeProperties &localTimecodeProperties,
    TimecodeFieldPastePolicy pastePolicy, TimecodeFieldValidationPolicy validationPolicy,
    TimecodeFieldInputStyle inputStyle);

// The outcome of a paste: allowed with the timecode that enters the field, or rejected with
// the refusal. Known in the field as `TimecodeField::PasteValidationResult`.
class TimecodeFieldPasteValidationResult {
public:
    using UserAction = TimecodeFieldInputRejectionFeedback::UserAction;

    static TimecodeFieldPasteValidationResult allowed(const Timecode &timecode) {
        return TimecodeFieldPasteValidationResult(timecode, UserAction::pasteRejected());
    }
    static TimecodeFieldPasteValidationResult rejected(const UserAction &action) {
        return TimecodeFieldPasteValidationResult(std::nullopt, action);
    }
    // The decision above as a result: rejected with pasteRejected when refused.
    static TimecodeFieldPasteValidationResult of(const Timecode &pastedTimecode,
                                                 const TimecodeProperties &localTimecodeProperties,
                                                 TimecodeFieldPastePolicy pastePolicy,
                                                 TimecodeFieldValidationPolicy validationPolicy,
                                                 TimecodeFieldInputStyle inputStyle);

    bool isAllowed() const { return timecode_.has_value(); }
    // The timecode of `allowed`.
    const std::optional<Timecode> &timecode() const { return timecode_; }
    // The refusal of `rejected`.
    std::optional<UserAction> userAction() const {
        return timecode_ ? std::nullopt : std::optional(userAction_);
    }

    // The same case with identical payloads (timecodes by their components and properties).
    friend bool operator==(const TimecodeFieldPasteValidationResult &lhs,
                           const TimecodeFieldPasteValidationResult &rhs);
    std::size_t hashValue() const;

private:
    TimecodeFieldPasteValidationResult(std::optional<Timecode> timecode, UserAction action)
        : timecode_(std::move(timecode)), userAction_(action) {}

    std::optional<Timecode> timecode_;
    UserAction userAction_;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeFieldPasteValidationResult> {
    std::size_t operator()(const timecode::TimecodeFieldPasteValidationResult &result) const {
        return result.hashValue();
    }
};
