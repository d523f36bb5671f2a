#pragma once

#include "timecode/core/TimecodeComponent.h"
#include "timecode/ui/model/KeyEquivalent.h"
#include "timecode/ui/model/NamedEnumeration.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

// How the timecode field answers input it refuses. Known in the field as
// `TimecodeField::InputRejectionFeedback`. Not equatable: it may hold a handler, which copies
// share.
class TimecodeFieldInputRejectionFeedback {
public:
    struct RejectionAnimationCases {
        enum Case : uint8_t { shake, pulse };
        static constexpr std::array<std::string_view, 2> names{"shake", "pulse"};
    };
    using RejectionAnimation = NamedEnumeration<RejectionAnimationCases>;

    // Why a key was refused: its value would leave the component's valid range, or the key
    // means nothing to the field.
    struct ReasonCases {
        enum Case : uint8_t { invalid, undefinedKey };
        static constexpr std::array<std::string_view, 2> names{"invalid", "undefinedKey"};
    };
    using Reason = NamedEnumeration<ReasonCases>;

    // What was refused: a key in a component, or a paste.
    class UserAction {
    public:
        enum class Kind : uint8_t { keyRejected, pasteRejected };

        static UserAction keyRejected(TimecodeComponent component, KeyEquivalent key,
                                      Reason reason) {
            return UserAction(Kind::keyRejected, component, key, reason);
        }
        static UserAction pasteRejected() {
            return UserAction(Kind::pasteRejected, TimecodeComponent::days, KeyEquivalent(0),
                              Reason::invalid);
        }

        Kind kind() const { return kind_; }
        // The payload of keyRejected; nothing for pasteRejected.
        std::optional<TimecodeComponent> component() const;
        std::optional<KeyEquivalent> key() const;
        std::optional<Reason> reason() const;

        // "keyRejected(hours, tab, undefinedKey)" or "pasteRejected".
        std::string description() const;

        // The same case and, for keyRejected, the same component, key and reason.
        friend bool operator==(const UserAction &lhs, const UserAction &rhs);
        // The case number, then for keyRejected the component, the key and the reason's text.
        std::size_t hashValue() const;

    private:
        UserAction(Kind kind, TimecodeComponent component, KeyEquivalent key, Reason reason)
            : kind_(kind), component_(component), key_(key), reason_(reason) {}

        Kind kind_;
        TimecodeComponent component_;
        KeyEquivalent key_;
        Reason reason_;
    };

    enum class Kind : uint8_t {
        // Sound and animate for refusals by validation (invalid values, refused pastes).
        validationBased,
        // The same, and for keys that mean nothing to the field.
        validationBasedAndUndefinedKeys,
        // Hand every refusal to the handler instead; no sound, no animation.
        custom,
    };
    // Called on the main thread by the field; declared callable from any.
    using Action = std::function<void(const UserAction &)>;

    static TimecodeFieldInputRejectionFeedback
    validationBased(std::optional<RejectionAnimation> animation) {
        return {Kind::validationBased, animation, {}};
    }
    static TimecodeFieldInputRejectionFeedback
    validationBasedAndUndefinedKeys(std::optional<RejectionAnimation> animation) {
        return {Kind::validationBasedAndUndefinedKeys, animation, {}};
    }
    static TimecodeFieldInputRejectionFeedback custom(Action action) {
        return {Kind::custom, std::nullopt, std::move(action)};
    }

    Kind kind() const { return kind_; }
    // The animation of the validation-based cases.
    std::optional<RejectionAnimation> animation() const { return animation_; }
    // The handler of `custom`.
    const Action &action() const { return action_; }

    // What the field does for one refusal.
    struct Response {
        bool beep = false;
        std::optional<RejectionAnimation> animation;
        bool callsAction = false;
        friend bool operator==(const Response &, const Response &) = default;
    };
    // The validation-based cases sound (then animate) for a value refused as invalid and for a
    // refused paste; only validationBasedAndUndefinedKeys also for an undefined key, so that
    // Tab or a letter passes silently by default. `custom` hands over every refusal. No
    // feedback at all does nothing.
    static Response response(const std::optional<TimecodeFieldInputRejectionFeedback> &feedback,
                             const UserAction &action);

private:
    TimecodeFieldInputRejectionFeedback(Kind kind, std::optional<RejectionAnimation> animation,
                                        Action action)
        : kind_(kind), animation_(animation), action_(std::move(action)) {}

    Kind kind_;
    std::optional<RejectionAnimation> animation_;
    Action action_;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeFieldInputRejectionFeedback::UserAction> {
    std::size_t
    operator()(const timecode::TimecodeFieldInputRejectionFeedback::UserAction &action) const {
        return action.hashValue();
    }
};
