#pragma once

#include "timecode/core/ClosedRange.h"
#include "timecode/core/TimecodeComponent.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/ui/model/KeyEquivalent.h"
#include "timecode/ui/model/TimecodeFieldKeyResult.h"
#include "timecode/ui/model/TimecodeFieldOptions.h"

#include <cstdint>
#include <functional>
#include <string>

namespace timecode {

// The editing state of one component of the timecode field, and the key state machine that
// turns each key press into a change of its number and a KeyResult. Known in the field as
// `TimecodeField::ComponentView::StateModel`.
//
// The component is "fresh" (isVirgin) while the next digit replaces the value instead of
// extending it: after the focus moved, and after stepping with arrows or "+" / "-". textInput
// holds the digits typed since it was last fresh.
class TimecodeFieldComponentStateModel {
public:
    using InputStyle = TimecodeFieldInputStyle;
    using ValidationPolicy = TimecodeFieldValidationPolicy;
    using KeyResult = TimecodeFieldKeyResult;

    // The observed properties; an observer hears of a store only when the value changed.
    enum class Property : uint8_t { timecodeProperties, value, isVirgin };
    using Observer = std::function<void(Property)>;

    // Fresh, with no text typed.
    TimecodeFieldComponentStateModel(TimecodeComponent component, TimecodeFrameRate initialRate,
                                     TimecodeSubFramesBase initialBase,
                                     TimecodeUpperLimit initialLimit, int64_t initialValue);
    TimecodeFieldComponentStateModel(TimecodeComponent component,
                                     const TimecodeProperties &initialTimecodeProperties,
                                     int64_t initialValue);

    // One observer, the owning view.
    void setObserver(Observer observer) { observer_ = std::move(observer); }

    TimecodeComponent component() const { return component_; }
    const TimecodeProperties &timecodeProperties() const { return timecodeProperties_; }
    void setTimecodeProperties(const TimecodeProperties &properties);
    TimecodeFrameRate frameRate() const { return timecodeProperties_.frameRate; }
    TimecodeSubFramesBase subFramesBase() const { return timecodeProperties_.subFramesBase; }
    TimecodeUpperLimit upperLimit() const { return timecodeProperties_.upperLimit; }

    int64_t value() const { return value_; }
    void setValue(int64_t value);
    const std::string &textInput() const { return textInput_; }
    void setTextInput(std::string text) { textInput_ = std::move(text); }
    bool isVirgin() const { return isVirgin_; }
    // Fresh again also forgets the typed text.
    void setIsVirgin(bool flag);

    // Digits of the component: 2; frames 3 from 119.88 on; sub-frames 1 in quarter frames.
    int numberOfDigits() const;
    // The component's range in an all-zero timecode at the properties (so never the drop-frame
    // lower bound of frames).
    ClosedRange<int64_t> validRange() const;
    // The value left-padded with "0" to the digit count; a longer form as it is.
    std::string valuePadded() const;
    // Value 0 and no typed text; freshness stays.
    void resetToZero();

    // The state machine: digits, "+" / up, "-" / down, delete and U+007F, forward delete and
    // clear, left, the separators and right, escape, return and U+0003; any other key is
    // ignored with the rejection undefinedKey.
    KeyResult handleKeyPress(KeyEquivalent key, InputStyle inputStyle,
                             ValidationPolicy validationPolicy);

private:
    KeyResult enterDigit(char digit, InputStyle inputStyle, bool enforce);
    void increment();
    void decrement();
    KeyResult deleteBackward();
    void notify(Property property) const;

    TimecodeComponent component_;
    TimecodeProperties timecodeProperties_;
    int64_t value_;
    std::string textInput_;
    bool isVirgin_ = true;
    Observer observer_;
};

} // namespace timecode
