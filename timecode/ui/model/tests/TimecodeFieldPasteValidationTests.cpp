#include "timecode/ui/model/TimecodeFieldPasteValidation.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <unordered_set>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;
using Paste = TimecodeFieldPastePolicy;
using Validation = TimecodeFieldValidationPolicy;
using Style = TimecodeFieldInputStyle;

// Each row pastes one timecode into a field at the local properties and names the properties
// the result must carry, or refusal.
TEST(TimecodeFieldPasteValidation, DecidesByPolicy) {
    const Timecode at25 = make({0, 1, 0, 0, 20, 0}, R::fps25, Base::max80SubFrames);
    const Timecode at25Frames24 = make({0, 1, 0, 0, 24, 0}, R::fps25);
    const Timecode invalidAt24 = make({0, 25, 0, 0, 0, 0}, R::fps24, Base::max100SubFrames);
    const Timecode at120 = make({0, 0, 0, 0, 120, 0}, R::fps120);
    const Timecode at100 = make({0, 0, 0, 0, 100, 0}, R::fps100);
    const Timecode huge = make({0, 12345, 0, 0, 0, 0}, R::fps24, Base::max100SubFrames);
    const Timecode validAt24 =
        make({0, 1, 0, 0, 12, 0}, R::fps24, Base::max100SubFrames, Limit::max100Days);

    const auto local24 = props(R::fps24, Base::max100SubFrames, Limit::max24Hours);
    const auto local120 = props(R::fps120, Base::max100SubFrames, Limit::max24Hours);
    const std::optional<Timecode::Properties> refused;

    struct Case {
        const char *name;
        Timecode pasted;
        Timecode::Properties local;
        Paste paste;
        Validation validation;
        Style style;
        std::optional<Timecode::Properties> result;
    };
    const std::vector<Case> cases{
        // Another rate under preserveLocalProperties is refused whatever the validation.
        {"25 into 24, preserve, enforce", at25, local24, Paste::preserveLocalProperties,
         Validation::enforceValid, Style::continuousWithinComponent, refused},
        {"25 into 24, preserve, allow", at25, local24, Paste::preserveLocalProperties,
         Validation::allowInvalid, Style::unbounded, refused},
        // discardProperties takes the components at the field's properties: 20 frames fit 24.
        {"25 into 24, discard, enforce", at25, local24, Paste::discardProperties,
         Validation::enforceValid, Style::continuousWithinComponent, local24},
        {"24 frames into 24, discard, enforce", at25Frames24, local24, Paste::discardProperties,
         Validation::enforceValid, Style::continuousWithinComponent, refused},
        {"24 frames into 24, discard, allow", at25Frames24, local24, Paste::discardProperties,
         Validation::allowInvalid, Style::continuousWithinComponent, local24},
        // Same rate: allowInvalid takes the field's properties, enforceValid keeps the pasted.
        {"same rate, preserve, allow", validAt24, local24, Paste::preserveLocalProperties,
         Validation::allowInvalid, Style::continuousWithinComponent, local24},
        {"same rate, preserve, enforce", validAt24, local24, Paste::preserveLocalProperties,
         Validation::enforceValid, Style::continuousWithinComponent, validAt24.properties()},
        {"invalid, preserve, enforce", invalidAt24, local24, Paste::preserveLocalProperties,
         Validation::enforceValid, Style::continuousWithinComponent, refused},
        {"invalid, preserve, allow", invalidAt24, local24, Paste::preserveLocalProperties,
         Validation::allowInvalid, Style::continuousWithinComponent, local24},
        // Digit widths at the pasted rate under allowNewProperties: 3 frame digits at 120,
        // 2 at 100; unbounded skips the width check.
        {"120 frames at 120, new, autoAdvance", at120, local24, Paste::allowNewProperties,
         Validation::allowInvalid, Style::autoAdvance, at120.properties()},
        {"100 frames at 100, new, autoAdvance", at100, local24, Paste::allowNewProperties,
         Validation::allowInvalid, Style::autoAdvance, refused},
        {"120 frames at 120, new, unbounded", at120, local24, Paste::allowNewProperties,
         Validation::allowInvalid, Style::unbounded, at120.properties()},
        {"100 frames at 100, new, unbounded", at100, local24, Paste::allowNewProperties,
         Validation::allowInvalid, Style::unbounded, at100.properties()},
        {"120 frames at 120, new, enforce", at120, local24, Paste::allowNewProperties,
         Validation::enforceValid, Style::unbounded, refused},
        // The widths are the field's under discardProperties.
        {"100 frames into 120, discard", at100, local120, Paste::discardProperties,
         Validation::allowInvalid, Style::autoAdvance, local120},
        {"120 frames into 24, discard", at120, local24, Paste::discardProperties,
         Validation::allowInvalid, Style::autoAdvance, refused},
        // unbounded and allowInvalid take any components.
        {"huge, preserve, unbounded", huge, local24, Paste::preserveLocalProperties,
         Validation::allowInvalid, Style::unbounded, local24},
        {"huge, preserve, continuous", huge, local24, Paste::preserveLocalProperties,
         Validation::allowInvalid, Style::continuousWithinComponent, refused},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Timecode> result =
            validateTimecodeFieldPaste(c.pasted, c.local, c.paste, c.validation, c.style);
        ASSERT_EQ(result.has_value(), c.result.has_value());
        if (result) {
            // The components always enter unchanged.
            EXPECT_EQ(result->components(), c.pasted.components());
            EXPECT_EQ(result->properties(), *c.result);
        }
        const auto outcome = TimecodeFieldPasteValidationResult::of(c.pasted, c.local, c.paste,
                                                                    c.validation, c.style);
        EXPECT_EQ(outcome.isAllowed(), result.has_value());
    }
}

TEST(TimecodeFieldPasteValidation, ResultsCompareByIdenticalTimecodes) {
    using Result = TimecodeFieldPasteValidationResult;
    const Timecode second = make({0, 0, 0, 1, 0, 0});
    // Equal in time, written otherwise: not the same result.
    const Timecode frames = make({0, 0, 0, 0, 24, 0});
    EXPECT_EQ(Result::allowed(second), Result::allowed(make({0, 0, 0, 1, 0, 0})));
    EXPECT_NE(Result::allowed(second), Result::allowed(frames));
    const auto rejected = Result::rejected(Result::UserAction::pasteRejected());
    EXPECT_EQ(rejected, Result::rejected(Result::UserAction::pasteRejected()));
    EXPECT_NE(rejected, Result::allowed(second));
    EXPECT_EQ(rejected.userAction(), Result::UserAction::pasteRejected());
    EXPECT_FALSE(Result::allowed(second).userAction());
    EXPECT_EQ(std::unordered_set<Result>({Result::allowed(second), Result::allowed(second),
                                          Result::allowed(frames), rejected})
                  .size(),
              3u);
}

} // namespace
} // namespace timecode
