#include "timecode/ui/model/TimecodeFieldComponentStateModel.h"

#include "timecode/core/NumericUtilities.h"
#include "timecode/core/TimecodeComponents.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace timecode {

namespace {

using Result = TimecodeFieldKeyResult::Result;
using FocusResult = TimecodeFieldKeyResult::FocusResult;
using Reason = TimecodeFieldKeyResult::Reason;

// Decimal text as a 64-bit integer: an optional sign, then digits only; nothing for other text
// or a value beyond 64 bits.
std::optional<int64_t> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    int64_t value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string lastCharacters(const std::string &text, int count) {
    const auto size = static_cast<std::ptrdiff_t>(text.size());
    return size <= count ? text : text.substr(static_cast<size_t>(size - count));
}

bool isOneOf(KeyEquivalent key, std::initializer_list<KeyEquivalent> keys) {
    for (KeyEquivalent candidate : keys) {
        if (candidate == key) {
            return true;
        }
    }
    return false;
}

} // namespace

TimecodeFieldComponentStateModel::TimecodeFieldComponentStateModel(
    TimecodeComponent component, TimecodeFrameRate initialRate, TimecodeSubFramesBase initialBase,
    TimecodeUpperLimit initialLimit, int64_t initialValue)
    : TimecodeFieldComponentStateModel(
          component, TimecodeProperties(initialRate, initialBase, initialLimit), initialValue) {}

TimecodeFieldComponentStateModel::TimecodeFieldComponentStateModel(
    TimecodeComponent component, const TimecodeProperties &initialTimecodeProperties,
    int64_t initialValue)
    : component_(component), timecodeProperties_(initialTimecodeProperties), value_(initialValue) {}

void TimecodeFieldComponentStateModel::setTimecodeProperties(const TimecodeProperties &properties) {
    if (properties == timecodeProperties_) {
        return;
    }
    timecodeProperties_ = properties;
    notify(Property::timecodeProperties);
}

void TimecodeFieldComponentStateModel::setValue(int64_t value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    notify(Property::value);
}

void TimecodeFieldComponentStateModel::setIsVirgin(bool flag) {
    if (flag) {
        textInput_.clear();
    }
    if (flag == isVirgin_) {
        return;
    }
    isVirgin_ = flag;
    notify(Property::isVirgin);
}

int TimecodeFieldComponentStateModel::numberOfDigits() const {
    return component_.numberOfDigits(frameRate(), subFramesBase());
}

ClosedRange<int64_t> TimecodeFieldComponentStateModel::validRange() const {
    return TimecodeComponents::zero().validRange(component_, timecodeProperties_);
}

std::string TimecodeFieldComponentStateModel::valuePadded() const {
    const std::string text = std::to_string(value_);
    const auto width = static_cast<size_t>(numberOfDigits());
    return text.size() >= width ? text : std::string(width - text.size(), '0') + text;
}

void TimecodeFieldComponentStateModel::resetToZero() {
    setValue(0);
    textInput_.clear();
}

TimecodeFieldKeyResult
TimecodeFieldComponentStateModel::handleKeyPress(KeyEquivalent key, InputStyle inputStyle,
                                                 ValidationPolicy validationPolicy) {
    const char32_t character = key.character();
    if (character >= U'0' && character <= U'9') {
        return enterDigit(static_cast<char>(character), inputStyle,
                          validationPolicy == ValidationPolicy::enforceValid);
    }
    if (isOneOf(key, {KeyEquivalent(U'+'), KeyEquivalent::upArrow})) {
        increment();
        return {Result::handled, std::nullopt, std::nullopt};
    }
    if (isOneOf(key, {KeyEquivalent(U'-'), KeyEquivalent::downArrow})) {
        decrement();
        return {Result::handled, std::nullopt, std::nullopt};
    }
    if (isOneOf(key, {KeyEquivalent::deleteKey, KeyEquivalent::asciiDEL})) {
        return deleteBackward();
    }
    if (isOneOf(key, {KeyEquivalent::deleteForward, KeyEquivalent::clear})) {
        resetToZero();
        setIsVirgin(false);
        return {Result::handled, std::nullopt, std::nullopt};
    }
    if (key == KeyEquivalent::leftArrow) {
        return {Result::handled, FocusResult::focusPreviousComponent, std::nullopt};
    }
    if (isOneOf(key, {KeyEquivalent(U'.'), KeyEquivalent(U':'), KeyEquivalent(U';'),
                      KeyEquivalent(U','), KeyEquivalent::rightArrow})) {
        return {Result::handled, FocusResult::focusNextComponent, std::nullopt};
    }
    if (key == KeyEquivalent::escape) {
        return {Result::performEscapeAction, std::nullopt, std::nullopt};
    }
    if (isOneOf(key, {KeyEquivalent::returnKey, KeyEquivalent::asciiEndOfText})) {
        return {Result::performReturnAction, std::nullopt, std::nullopt};
    }
    return {Result::ignored, std::nullopt, Reason::undefinedKey};
}

TimecodeFieldKeyResult
TimecodeFieldComponentStateModel::enterDigit(char digit, InputStyle inputStyle, bool enforce) {
    const std::string candidate =
        isVirgin_ ? std::string(1, digit) : std::to_string(value_) + digit;
    const std::optional<int64_t> parsed = parseInteger(candidate);
    if (!parsed) {
        // Beyond 64 bits: the digit is dropped without a rejection.
        setIsVirgin(false);
        return {Result::ignored, std::nullopt, std::nullopt};
    }
    int64_t newValue = *parsed;
    std::string newText = textInput_ + digit;
    const int width = numberOfDigits();
    const ClosedRange<int64_t> range = validRange();
    const KeyResult rejected{Result::handled, std::nullopt, Reason::invalid};

    switch (inputStyle) {
    case InputStyle::autoAdvance: {
        if (enforce && !range.contains(newValue)) {
            setIsVirgin(false);
            return rejected;
        }
        const auto typed = static_cast<int>(newText.size());
        if (typed > width) {
            // Already full: the digit only moves on.
            setIsVirgin(false);
            return {Result::handled, FocusResult::focusNextComponent, std::nullopt};
        }
        setValue(newValue);
        textInput_ = std::move(newText);
        setIsVirgin(false);
        return {Result::handled,
                typed == width ? std::optional(FocusResult(FocusResult::focusNextComponent))
                               : std::nullopt,
                std::nullopt};
    }
    case InputStyle::continuousWithinComponent:
        if (timecode::numberOfDigits(newValue) > width) {
            newValue = *parseInteger(lastCharacters(std::to_string(newValue), width));
        }
        newText = lastCharacters(newText, width);
        if (enforce && !range.contains(newValue)) {
            setIsVirgin(false);
            return rejected;
        }
        break;
    case InputStyle::unbounded:
        if (enforce && !range.contains(newValue)) {
            setIsVirgin(false);
            return rejected;
        }
        break;
    }
    setValue(newValue);
    textInput_ = std::move(newText);
    setIsVirgin(false);
    return {Result::handled, std::nullopt, std::nullopt};
}

// Stepping compares before adding: a value at or past the end of the range wraps to the other
// end without computing value ± 1, which would overflow at the ends of the 64-bit range (an
// unbounded component under allowInvalid can hold them). Every step that fitted gives what it
// always gave.
void TimecodeFieldComponentStateModel::increment() {
    const ClosedRange<int64_t> range = validRange();
    const bool fits = value_ < range.upper && range.contains(value_ + 1);
    setValue(fits ? value_ + 1 : range.lower);
    setIsVirgin(true);
}

void TimecodeFieldComponentStateModel::decrement() {
    const ClosedRange<int64_t> range = validRange();
    const bool fits = value_ > range.lower && range.contains(value_ - 1);
    setValue(fits ? value_ - 1 : range.upper);
    setIsVirgin(true);
}

TimecodeFieldKeyResult TimecodeFieldComponentStateModel::deleteBackward() {
    const int64_t before = value_;
    if (isVirgin_) {
        resetToZero();
        setIsVirgin(false);
    } else {
        if (!textInput_.empty()) {
            textInput_.pop_back();
        }
        setValue(parseInteger(textInput_).value_or(0));
    }
    return {Result::handled,
            before == 0 ? std::optional(FocusResult(FocusResult::focusPreviousComponent))
                        : std::nullopt,
            std::nullopt};
}

void TimecodeFieldComponentStateModel::notify(Property property) const {
    if (observer_) {
        observer_(property);
    }
}

} // namespace timecode
