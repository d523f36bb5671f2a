#include "timecode/ui/model/TimecodeFieldComponentStateModel.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;
using Model = TimecodeFieldComponentStateModel;
using Style = TimecodeFieldInputStyle;
using Validation = TimecodeFieldValidationPolicy;
using Key = KeyEquivalent;

Key k(char32_t character) {
    return Key(character);
}

constexpr int64_t int64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t int64Min = std::numeric_limits<int64_t>::min();

// One key and what the component holds after it, with the key result's description.
struct Step {
    Key key;
    int64_t value;
    const char *result;
};

struct KeyCase {
    const char *name;
    C component;
    Timecode::Properties properties;
    int64_t initialValue;
    Style style;
    Validation validation;
    std::vector<Step> steps;
    // After the last step.
    std::string textInput;
    bool isVirgin;
    // The component starts in editing rather than fresh.
    bool startsEditing = false;
};

void run(const KeyCase &c) {
    SCOPED_TRACE(c.name);
    Model model(c.component, c.properties, c.initialValue);
    if (c.startsEditing) {
        model.setIsVirgin(false);
    }
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step &step = c.steps[i];
        SCOPED_TRACE("step " + std::to_string(i) + " key " + step.key.description());
        const TimecodeFieldKeyResult result = model.handleKeyPress(step.key, c.style, c.validation);
        EXPECT_EQ(result.description(), step.result);
        EXPECT_EQ(model.value(), step.value);
    }
    EXPECT_EQ(model.textInput(), c.textInput);
    EXPECT_EQ(model.isVirgin(), c.isVirgin);
}

const auto at24 = props(R::fps24, Base::max80SubFrames);
const auto at25 = props(R::fps25, Base::max80SubFrames);

TEST(TimecodeFieldComponentKeys, DigitsByInputStyle) {
    const auto enforce = Validation::enforceValid;
    const auto allow = Validation::allowInvalid;
    const std::vector<KeyCase> cases{
        {"autoAdvance moves on when the component is full",
         C::minutes,
         at24,
         0,
         Style::autoAdvance,
         enforce,
         {{k('4'), 4, "<handled>"}, {k('5'), 45, "<handled focusNextComponent>"}},
         "45",
         false},
        {"autoAdvance refuses a value out of range, keeping value and text",
         C::frames,
         at25,
         0,
         Style::autoAdvance,
         enforce,
         {{k('3'), 3, "<handled>"}, {k('0'), 3, "<handled invalid>"}},
         "3",
         false},
        {"autoAdvance on a full component stores nothing and asks for the next",
         C::frames,
         at25,
         0,
         Style::autoAdvance,
         enforce,
         {{k('0'), 0, "<handled>"},
          {k('1'), 1, "<handled focusNextComponent>"},
          {k('2'), 1, "<handled focusNextComponent>"}},
         "01",
         false},
        {"three frame digits at 120",
         C::frames,
         props(R::fps120),
         0,
         Style::autoAdvance,
         enforce,
         {{k('1'), 1, "<handled>"},
          {k('1'), 11, "<handled>"},
          {k('9'), 119, "<handled focusNextComponent>"}},
         "119",
         false},
        {"three frame digits at 119.88 drop",
         C::frames,
         props(R::fps119_88d),
         0,
         Style::autoAdvance,
         enforce,
         {{k('1'), 1, "<handled>"},
          {k('1'), 11, "<handled>"},
          {k('9'), 119, "<handled focusNextComponent>"}},
         "119",
         false},
        {"continuous digits run through the component",
         C::seconds,
         at24,
         0,
         Style::continuousWithinComponent,
         enforce,
         {{k('1'), 1, "<handled>"},
          {k('2'), 12, "<handled>"},
          {k('3'), 23, "<handled>"},
          {k('4'), 34, "<handled>"}},
         "34",
         false},
        {"continuous refuses what leaves the range",
         C::hours,
         at24,
         0,
         Style::continuousWithinComponent,
         enforce,
         {{k('2'), 2, "<handled>"}, {k('5'), 2, "<handled invalid>"}},
         "2",
         false},
        {"quarter frames: one digit, 0 to 3",
         C::subFrames,
         props(R::fps24, Base::quarterFrames),
         0,
         Style::continuousWithinComponent,
         enforce,
         {{k('2'), 2, "<handled>"}, {k('5'), 2, "<handled invalid>"}},
         "2",
         false},
        {"unbounded grows past the width",
         C::hours,
         at24,
         0,
         Style::unbounded,
         allow,
         {{k('1'), 1, "<handled>"}, {k('2'), 12, "<handled>"}, {k('3'), 123, "<handled>"}},
         "123",
         false},
        {"unbounded under enforceValid",
         C::hours,
         at24,
         0,
         Style::unbounded,
         enforce,
         {{k('2'), 2, "<handled>"}, {k('4'), 2, "<handled invalid>"}},
         "2",
         false},
        // 922337203685477580 and one more digit: 8 overflows and is dropped unreported, 7 fits.
        {"a digit beyond 64 bits is dropped",
         C::hours,
         at24,
         int64Max / 10,
         Style::unbounded,
         allow,
         {{k('8'), int64Max / 10, "<ignored>"}, {k('7'), int64Max, "<handled>"}},
         "7",
         false,
         true},
    };
    for (const KeyCase &c : cases) {
        run(c);
    }
}

TEST(TimecodeFieldComponentKeys, SteppingDeletingAndNavigation) {
    const auto style = Style::continuousWithinComponent;
    const auto enforce = Validation::enforceValid;
    const std::vector<KeyCase> cases{
        // Stepping leaves the component fresh, so the next digit replaces the value.
        {"up wraps at the top",
         C::hours,
         at24,
         23,
         style,
         enforce,
         {{Key::upArrow, 0, "<handled>"}, {k('5'), 5, "<handled>"}},
         "5",
         false},
        {"down wraps at the bottom",
         C::hours,
         at24,
         0,
         style,
         enforce,
         {{Key::downArrow, 23, "<handled>"}, {k('+'), 0, "<handled>"}, {k('-'), 23, "<handled>"}},
         "",
         true},
        {"stepping makes a component fresh",
         C::hours,
         at24,
         0,
         style,
         enforce,
         {{k('1'), 1, "<handled>"}, {k('+'), 2, "<handled>"}},
         "",
         true},
        {"backspace on a fresh value, then on the emptied one",
         C::minutes,
         at24,
         7,
         style,
         enforce,
         {{Key::deleteKey, 0, "<handled>"},
          {Key::deleteKey, 0, "<handled focusPreviousComponent>"}},
         "",
         false},
        {"backspace while editing drops the last digit",
         C::minutes,
         at24,
         0,
         style,
         enforce,
         {{k('1'), 1, "<handled>"},
          {k('2'), 12, "<handled>"},
          {Key::deleteKey, 1, "<handled>"},
          {Key::asciiDEL, 0, "<handled>"},
          {Key::asciiDEL, 0, "<handled focusPreviousComponent>"}},
         "",
         false},
        {"forward delete and clear zero the value",
         C::seconds,
         at24,
         42,
         style,
         enforce,
         {{Key::deleteForward, 0, "<handled>"},
          {k('7'), 7, "<handled>"},
          {Key::clear, 0, "<handled>"}},
         "",
         false},
        {"moves, actions and undefined keys leave the state",
         C::seconds,
         at24,
         5,
         style,
         enforce,
         {{k(','), 5, "<handled focusNextComponent>"},
          {k(':'), 5, "<handled focusNextComponent>"},
          {k(';'), 5, "<handled focusNextComponent>"},
          {k('.'), 5, "<handled focusNextComponent>"},
          {Key::rightArrow, 5, "<handled focusNextComponent>"},
          {Key::leftArrow, 5, "<handled focusPreviousComponent>"},
          {Key::escape, 5, "<performEscapeAction>"},
          {Key::returnKey, 5, "<performReturnAction>"},
          {Key::asciiEndOfText, 5, "<performReturnAction>"},
          {Key::tab, 5, "<ignored undefinedKey>"},
          {k('x'), 5, "<ignored undefinedKey>"},
          {Key::home, 5, "<ignored undefinedKey>"}},
         "",
         true},
    };
    for (const KeyCase &c : cases) {
        run(c);
    }
}

// An unbounded component under allowInvalid can hold the ends of the 64-bit range; stepping
// past them wraps to the other end of the component's range instead of overflowing (the
// sanitizer build halts on an overflow). Steps that fitted keep their results.
TEST(TimecodeFieldComponentKeys, SteppingFromEveryValueWraps) {
    struct Case {
        int64_t value;
        Key key;
        int64_t stepped;
    };
    const std::vector<Case> cases{
        {int64Max, k('+'), 0},
        {int64Min, k('-'), 23},
        {int64Max, Key::downArrow, 23},
        {int64Min, Key::upArrow, 0},
        {int64Max - 1, k('+'), 0},
        {5, k('+'), 6},
        {22, k('+'), 23},
        {23, k('+'), 0},
        {0, k('-'), 23},
        {-3, k('+'), 0},
        {30, k('-'), 23},
        {24, k('-'), 23},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " " + c.key.description());
        Model model(C::hours, at24, c.value);
        EXPECT_EQ(
            model.handleKeyPress(c.key, Style::unbounded, Validation::allowInvalid).description(),
            "<handled>");
        EXPECT_EQ(model.value(), c.stepped);
        EXPECT_TRUE(model.isVirgin());
    }
}

TEST(TimecodeFieldComponentStateModel, RangesWidthsAndPadding) {
    struct Case {
        C component;
        Timecode::Properties properties;
        int64_t value;
        int64_t lower, upper;
        std::string padded;
    };
    const std::vector<Case> cases{
        {C::days, props(R::fps24, Base::max80SubFrames, Limit::max100Days), 3, 0, 99, "03"},
        {C::days, at24, 3, 0, 0, "03"},
        {C::hours, at24, 7, 0, 23, "07"},
        {C::minutes, at24, 59, 0, 59, "59"},
        // Zero minutes and seconds: the drop-frame lower bound never applies.
        {C::frames, props(R::fps29_97d), 4, 0, 29, "04"},
        {C::frames, props(R::fps120), 5, 0, 119, "005"},
        {C::frames, props(R::fps24), 1234, 0, 23, "1234"},
        {C::subFrames, props(R::fps24, Base::max80SubFrames), 7, 0, 79, "07"},
        {C::subFrames, props(R::fps24, Base::max100SubFrames), 7, 0, 99, "07"},
        {C::subFrames, props(R::fps24, Base::quarterFrames), 2, 0, 3, "2"},
        {C::seconds, at24, -5, 0, 59, "-5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.component.nameLowerCamelCase()) + " " + c.padded);
        const Model model(c.component, c.properties, c.value);
        EXPECT_EQ(model.validRange(), (ClosedRange<int64_t>{c.lower, c.upper}));
        EXPECT_EQ(model.valuePadded(), c.padded);
    }
}

TEST(TimecodeFieldComponentStateModel, ObserversHearOnlyChanges) {
    Model model(C::hours, R::fps24, Base::max100SubFrames, Limit::max24Hours, 1);
    EXPECT_TRUE(model.isVirgin());
    EXPECT_EQ(model.textInput(), "");
    std::vector<Model::Property> heard;
    model.setObserver([&heard](Model::Property property) { heard.push_back(property); });

    model.setValue(1);
    model.setTimecodeProperties(props(R::fps24, Base::max100SubFrames));
    model.setIsVirgin(true);
    EXPECT_TRUE(heard.empty());

    model.handleKeyPress(k('2'), Style::continuousWithinComponent, Validation::enforceValid);
    EXPECT_EQ(heard, (std::vector{Model::Property::value, Model::Property::isVirgin}));
    heard.clear();
    // Fresh again forgets the typed text; the text itself is not observed.
    model.setIsVirgin(true);
    EXPECT_EQ(model.textInput(), "");
    model.setTextInput("9");
    model.setTimecodeProperties(props(R::fps25, Base::max100SubFrames));
    EXPECT_EQ(heard, (std::vector{Model::Property::isVirgin, Model::Property::timecodeProperties}));
    EXPECT_EQ(model.frameRate(), R::fps25);

    // Zeroing keeps the freshness.
    model.setIsVirgin(false);
    model.resetToZero();
    EXPECT_EQ(model.value(), 0);
    EXPECT_EQ(model.textInput(), "");
    EXPECT_FALSE(model.isVirgin());
}

TEST(TimecodeFieldKeyResult, Descriptions) {
    using Result = TimecodeFieldKeyResult;
    EXPECT_EQ((Result{Result::Result::handled, std::nullopt, std::nullopt}).description(),
              "<handled>");
    EXPECT_EQ(
        (Result{Result::Result::ignored, std::nullopt, Result::Reason::undefinedKey}).description(),
        "<ignored undefinedKey>");
    const Result moved{Result::Result::handled, Result::FocusResult::focusNextComponent,
                       Result::Reason::invalid};
    EXPECT_EQ(moved.description(), "<handled focusNextComponent invalid>");
    EXPECT_EQ(moved.debugDescription(), "KeyResult<handled focusNextComponent invalid>");
    EXPECT_NE(moved, (Result{Result::Result::handled, Result::FocusResult::focusNextComponent,
                             std::nullopt}));
    EXPECT_EQ(Result::Result::allCases().size(), 4u);
}

} // namespace
} // namespace timecode
