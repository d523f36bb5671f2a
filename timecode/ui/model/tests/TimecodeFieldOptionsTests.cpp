#include "timecode/ui/model/TimecodeFieldAction.h"
#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"
#include "timecode/ui/model/TimecodeFieldOptions.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace timecode {
namespace {

using C = TimecodeComponent;
using Feedback = TimecodeFieldInputRejectionFeedback;
using UserAction = Feedback::UserAction;
using Reason = Feedback::Reason;
using Animation = Feedback::RejectionAnimation;

template <typename E> std::vector<std::string> rawValues() {
    std::vector<std::string> names;
    for (E value : E::allCases()) {
        names.emplace_back(value.rawValue());
        // Every case is built back from its raw value.
        EXPECT_EQ(E::fromRawValue(value.rawValue()), value);
    }
    return names;
}

TEST(TimecodeFieldOptions, CasesInOrderAndTheirRawValues) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(rawValues<TimecodeFieldInputStyle>(),
              (Names{"autoAdvance", "continuousWithinComponent", "unbounded"}));
    EXPECT_EQ(rawValues<TimecodeFieldInputWrapping>(), (Names{"noWrap", "wrap"}));
    EXPECT_EQ(rawValues<TimecodeFieldPastePolicy>(),
              (Names{"preserveLocalProperties", "allowNewProperties", "discardProperties"}));
    EXPECT_EQ(rawValues<TimecodeFieldValidationPolicy>(), (Names{"allowInvalid", "enforceValid"}));
    EXPECT_EQ(rawValues<Animation>(), (Names{"shake", "pulse"}));
    EXPECT_EQ(rawValues<Reason>(), (Names{"invalid", "undefinedKey"}));

    // Any other text gives nothing; raw values are case-sensitive.
    EXPECT_FALSE(TimecodeFieldInputStyle::fromRawValue("AutoAdvance"));
    EXPECT_FALSE(TimecodeFieldValidationPolicy::fromRawValue(""));
    EXPECT_EQ(TimecodeFieldPastePolicy(TimecodeFieldPastePolicy::discardProperties).id(),
              "discardProperties");
}

TEST(TimecodeFieldAction, RawValuesAndCases) {
    using Action = TimecodeFieldAction;
    std::vector<std::string> names;
    for (const Action &action : Action::allCases()) {
        names.push_back(action.rawValue());
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "resetComponentFocus-to-days", "resetComponentFocus-to-hours",
                         "resetComponentFocus-to-minutes", "resetComponentFocus-to-seconds",
                         "resetComponentFocus-to-frames", "resetComponentFocus-to-subFrames",
                         "endEditing", "focusNextComponent"}));

    EXPECT_EQ(Action::fromRawValue("resetComponentFocus-to-hours"),
              Action::resetComponentFocus(C::hours));
    EXPECT_EQ(Action::fromRawValue("endEditing"), Action::endEditing());
    EXPECT_EQ(Action::fromRawValue("focusNextComponent"), Action::focusNextComponent());
    // Focus on the first shown component is a value of its own, not among the cases.
    EXPECT_EQ(Action::resetComponentFocus().rawValue(), "resetComponentFocus");
    EXPECT_FALSE(Action::fromRawValue("resetComponentFocus"));
    EXPECT_FALSE(Action::fromRawValue("resetComponentFocus-to-"));
    EXPECT_NE(Action::resetComponentFocus(), Action::resetComponentFocus(C::days));
    EXPECT_EQ(Action::resetComponentFocus(C::frames).id(), "resetComponentFocus-to-frames");
}

TEST(TimecodeFieldInputRejectionFeedback, UserActionsCompareByEveryPart) {
    const UserAction tab =
        UserAction::keyRejected(C::hours, KeyEquivalent::tab, Reason::undefinedKey);
    EXPECT_EQ(tab, UserAction::keyRejected(C::hours, KeyEquivalent::tab, Reason::undefinedKey));
    EXPECT_NE(tab, UserAction::keyRejected(C::hours, KeyEquivalent::tab, Reason::invalid));
    EXPECT_NE(tab, UserAction::keyRejected(C::minutes, KeyEquivalent::tab, Reason::undefinedKey));
    EXPECT_NE(tab, UserAction::keyRejected(C::hours, KeyEquivalent(U'x'), Reason::undefinedKey));
    EXPECT_NE(tab, UserAction::pasteRejected());
    EXPECT_EQ(UserAction::pasteRejected(), UserAction::pasteRejected());

    std::unordered_set<UserAction> set{
        tab, UserAction::keyRejected(C::hours, KeyEquivalent::tab, Reason::invalid),
        UserAction::pasteRejected(), UserAction::pasteRejected()};
    EXPECT_EQ(set.size(), 3u);

    EXPECT_EQ(tab.description(), "keyRejected(hours, tab, undefinedKey)");
    EXPECT_EQ(UserAction::pasteRejected().description(), "pasteRejected");
    EXPECT_FALSE(UserAction::pasteRejected().component());
    EXPECT_EQ(tab.key(), KeyEquivalent::tab);
}

// Validation-based feedback answers validation: a value refused as invalid and a refused
// paste. Keys that mean nothing to the field (Tab, letters) sound only under
// validationBasedAndUndefinedKeys, so the default feedback does not beep and pulse on every Tab.
TEST(TimecodeFieldInputRejectionFeedback, RespondsByCaseAndReason) {
    using Response = Feedback::Response;
    const UserAction invalid =
        UserAction::keyRejected(C::frames, KeyEquivalent(U'9'), Reason::invalid);
    const UserAction undefined =
        UserAction::keyRejected(C::frames, KeyEquivalent::tab, Reason::undefinedKey);
    const UserAction paste = UserAction::pasteRejected();
    const Response silent{};
    const Response handedOver{false, std::nullopt, true};

    struct Case {
        const char *name;
        std::optional<Feedback> feedback;
        Response invalid, undefined, paste;
    };
    const std::vector<Case> cases{
        {"validationBased pulse",
         Feedback::validationBased(Animation::pulse),
         {true, Animation::pulse, false},
         silent,
         {true, Animation::pulse, false}},
        {"validationBased without animation",
         Feedback::validationBased(std::nullopt),
         {true, std::nullopt, false},
         silent,
         {true, std::nullopt, false}},
        {"validationBasedAndUndefinedKeys shake",
         Feedback::validationBasedAndUndefinedKeys(Animation::shake),
         {true, Animation::shake, false},
         {true, Animation::shake, false},
         {true, Animation::shake, false}},
        {"custom", Feedback::custom([](const UserAction &) {}), handedOver, handedOver, handedOver},
        {"none", std::nullopt, silent, silent, silent},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Feedback::response(c.feedback, invalid), c.invalid);
        EXPECT_EQ(Feedback::response(c.feedback, undefined), c.undefined);
        EXPECT_EQ(Feedback::response(c.feedback, paste), c.paste);
    }
}

TEST(TimecodeFieldInputRejectionFeedback, CopiesShareTheHandler) {
    int calls = 0;
    const Feedback feedback = Feedback::custom([&calls](const UserAction &) { ++calls; });
    const Feedback copy = feedback;
    copy.action()(UserAction::pasteRejected());
    feedback.action()(UserAction::pasteRejected());
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(copy.kind(), Feedback::Kind::custom);
    EXPECT_FALSE(copy.animation());
}

TEST(KeyEquivalent, Descriptions) {
    EXPECT_EQ(KeyEquivalent::asciiDEL.character(), U'\u007F');
    EXPECT_EQ(KeyEquivalent::asciiEndOfText.character(), U'\u0003');
    EXPECT_EQ(KeyEquivalent::asciiDEL.description(), "asciiDEL");
    EXPECT_EQ(KeyEquivalent::upArrow.description(), "upArrow");
    EXPECT_EQ(KeyEquivalent(U'7').description(), "7");
    EXPECT_EQ(KeyEquivalent(U'é').description(), "é");
    EXPECT_EQ(KeyEquivalent(U'\u0007').description(), "U+0007");
    EXPECT_EQ(KeyEquivalent(U'\uE0FF').description(), "U+E0FF");
}

} // namespace
} // namespace timecode
