#include "timecode/ui/TimecodeEnvironment.h"
#include "timecode/ui/TimecodeField.h"
#include "timecode/ui/TimecodeState.h"

#include "timecode/ui/tests/UiTestSupport.h"

#include <QHBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;
using Option = Timecode::StringFormatOption;
using Feedback = TimecodeFieldInputRejectionFeedback;
using UserAction = Feedback::UserAction;
using FieldAction = TimecodeFieldAction;

// The row as drawn: a component view's name in braces, a separator's text as it is.
std::string rowText(const TimecodeField &field) {
    std::string text;
    for (QWidget *widget : field.rowWidgets()) {
        if (auto *separator = qobject_cast<TimecodeField::SeparatorView *>(widget)) {
            text += separator->text().toStdString();
        } else {
            text.append("{").append(widget->objectName().toStdString()).append("}");
        }
    }
    return text;
}

// A field over a timecode held by a TimecodeState, in a box that carries the settings, in an
// active window; with the beep counted and the clock of its animations moved by hand.
class FieldTest : public ::testing::Test {
protected:
    void SetUp() override { build(make({0, 1, 2, 3, 4, 0}, R::fps25)); }

    void build(const Timecode &initial) {
        delete box;
        box = new QWidget(&window);
        auto *layout = new QHBoxLayout(box);
        state = new TimecodeState(initial, box);
        field = new TimecodeField(state->projectedValue(), box);
        layout->addWidget(field);
        box->show();
        field->animator().setClock(clock.clock());
        for (C component : C::allCases()) {
            field
                ->findChild<TimecodeField::ComponentView *>(
                    QString::fromUtf8(component.nameLowerCamelCase()))
                ->animator()
                .setClock(clock.clock());
        }
    }
    TimecodeField::ComponentView *view(C component) { return field->componentView(component); }
    // Focuses the component and lets the focus settle.
    void edit(C component) {
        field->setFocusedComponent(component);
        runQueued();
        ASSERT_EQ(field->focusedComponent(), component);
    }
    // Presses the key on the component being edited.
    bool key(int key, const QString &text = {}) {
        const std::optional<C> editing = field->focusedComponent();
        EXPECT_NE(editing, std::nullopt);
        if (!editing) {
            return false;
        }
        const bool accepted = press(view(*editing), key, text);
        runQueued();
        return accepted;
    }

    ActiveWindow window;
    QWidget *box = nullptr;
    TimecodeState *state = nullptr;
    TimecodeField *field = nullptr;
    BeepCounter beeps;
    FakeClock clock;
};

TEST_F(FieldTest, RowFollowsFormatLimitAndRate) {
    struct Case {
        Timecode timecode;
        Timecode::StringFormat format;
        const char *row;
    };
    const std::vector<Case> cases{
        {make({}, R::fps25), {}, "{hours}:{minutes}:{seconds}:{frames}"},
        {make({}, R::fps29_97d), {}, "{hours}:{minutes}:{seconds};{frames}"},
        {make({}, R::fps24, Base::max80SubFrames, Limit::max100Days),
         {},
         "{days} {hours}:{minutes}:{seconds}:{frames}"},
        {make({}, R::fps24),
         {Option::alwaysShowDays},
         "{days} {hours}:{minutes}:{seconds}:{frames}"},
        {make({}, R::fps59_94d),
         {Option::showSubFrames},
         "{hours}:{minutes}:{seconds};{frames}.{subFrames}"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.row);
        timecodeFormat(box, c.format);
        state->setWrappedValue(c.timecode);
        runQueued();
        EXPECT_EQ(rowText(*field), c.row);
        EXPECT_EQ(TimecodeFieldRow::describe(field->rowItems()), c.row);
    }
    // A component that goes while it is edited ends the editing; hidden components are out of
    // reach, so the right arrow from frames stays on frames.
    edit(C::subFrames);
    timecodeFormat(box, {});
    runQueued();
    EXPECT_EQ(field->focusedComponent(), std::nullopt);
    edit(C::frames);
    EXPECT_TRUE(key(Qt::Key_Right));
    EXPECT_EQ(field->focusedComponent(), C::frames);
}

TEST_F(FieldTest, ComponentsAloneEditAt24Fps) {
    Binding<Timecode::Components> components = Binding<Timecode::Components>::variable({});
    TimecodeField plain(components);
    EXPECT_EQ(plain.timecodeProperties(),
              props(R::fps24, Base::max100SubFrames, Limit::max24Hours));
    EXPECT_EQ(rowText(plain), "{hours}:{minutes}:{seconds}:{frames}");
    components.set({0, 3, 0, 0, 23, 0});
    EXPECT_EQ(plain.componentView(C::hours)->stateModel().value(), 3);
    EXPECT_EQ(plain.timecode().get().components(), (Timecode::Components{0, 3, 0, 0, 23, 0}));
}

// Keys go through the component's state machine with the field's settings; what they store
// reaches the bound timecode, and focus moves after the key.
TEST_F(FieldTest, TypingEditsTheBoundTimecode) {
    edit(C::minutes);
    EXPECT_TRUE(key(Qt::Key_4, QStringLiteral("4")));
    EXPECT_TRUE(key(Qt::Key_5, QStringLiteral("5")));
    EXPECT_EQ(state->wrappedValue().minutes(), 45);
    EXPECT_EQ(field->focusedComponent(), C::minutes);

    timecodeFieldInputStyle(box, TimecodeFieldInputStyle::autoAdvance);
    EXPECT_TRUE(key(Qt::Key_Right));
    EXPECT_EQ(field->focusedComponent(), C::seconds);
    key(Qt::Key_1, QStringLiteral("1"));
    key(Qt::Key_2, QStringLiteral("2"));
    EXPECT_EQ(state->wrappedValue().seconds(), 12);
    EXPECT_EQ(field->focusedComponent(), C::frames);
    // The focus moved, so frames are fresh: the digit replaces the value.
    key(Qt::Key_7, QStringLiteral("7"));
    EXPECT_EQ(state->wrappedValue().frames(), 7);
    key(Qt::Key_Up);
    EXPECT_EQ(state->wrappedValue().frames(), 8);
    // Backspace on an emptied component steps back, through U+007F too.
    key(Qt::Key_Backspace);
    EXPECT_EQ(state->wrappedValue().frames(), 0);
    EXPECT_EQ(field->focusedComponent(), C::frames);
    key(Qt::Key_unknown, QStringLiteral("\x7f"));
    EXPECT_EQ(field->focusedComponent(), C::seconds);
    EXPECT_EQ(state->wrappedValue().components(), (Timecode::Components{0, 1, 45, 12, 0, 0}));
}

TEST_F(FieldTest, DisablingEndsEditing) {
    edit(C::seconds);
    field->setEnabled(false);
    EXPECT_EQ(field->focusedComponent(), std::nullopt);
    for (C component : {C::hours, C::minutes, C::seconds, C::frames}) {
        EXPECT_FALSE(view(component)->hasFocus());
    }
}

// Return and Escape run the field's actions. Only a move to the next component counts as
// handled; the others, and no action at all, let the key on to the widgets around.
TEST_F(FieldTest, ReturnAndEscapeActions) {
    edit(C::hours);
    EXPECT_FALSE(key(Qt::Key_Return));
    EXPECT_EQ(field->focusedComponent(), C::hours);

    timecodeFieldReturnAction(box, FieldAction::endEditing());
    EXPECT_FALSE(key(Qt::Key_Return));
    EXPECT_EQ(field->focusedComponent(), std::nullopt);

    edit(C::frames);
    timecodeFieldReturnAction(box, FieldAction::focusNextComponent());
    EXPECT_TRUE(key(Qt::Key_Enter));
    EXPECT_EQ(field->focusedComponent(), C::frames);
    timecodeFieldInputWrapping(box, TimecodeFieldInputWrapping::wrap);
    EXPECT_TRUE(key(Qt::Key_unknown, QStringLiteral("\x03")));
    EXPECT_EQ(field->focusedComponent(), C::hours);

    timecodeFieldEscapeAction(box, FieldAction::resetComponentFocus(C::seconds));
    EXPECT_FALSE(key(Qt::Key_Escape));
    EXPECT_EQ(field->focusedComponent(), C::seconds);
    timecodeFieldEscapeAction(box, FieldAction::resetComponentFocus());
    EXPECT_FALSE(key(Qt::Key_Escape));
    EXPECT_EQ(field->focusedComponent(), C::hours);
}

// The default feedback answers validation only: a refused digit beeps and pulses, Tab passes
// silently. The feedback that also takes undefined keys beeps for Tab.
TEST_F(FieldTest, RejectionFeedbackByReason) {
    edit(C::hours);
    key(Qt::Key_Tab);
    EXPECT_EQ(beeps.beeps, 0);
    EXPECT_FALSE(view(C::hours)->animator().isRunning());

    edit(C::hours);
    key(Qt::Key_2, QStringLiteral("2"));
    key(Qt::Key_9, QStringLiteral("9"));
    EXPECT_EQ(state->wrappedValue().hours(), 2);
    EXPECT_EQ(beeps.beeps, 1);
    EXPECT_TRUE(view(C::hours)->animator().isRunning());
    EXPECT_DOUBLE_EQ(view(C::hours)->animator().brightness(), TimecodeField::pulseIntensity);

    timecodeFieldInputRejectionFeedback(
        box, Feedback::validationBasedAndUndefinedKeys(Feedback::RejectionAnimation::shake));
    edit(C::hours);
    key(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(beeps.beeps, 2);

    std::vector<UserAction> handed;
    timecodeFieldInputRejectionFeedback(
        box, Feedback::custom([&handed](const UserAction &action) { handed.push_back(action); }));
    edit(C::minutes);
    key(Qt::Key_Tab);
    EXPECT_EQ(handed, (std::vector<UserAction>{UserAction::keyRejected(
                          C::minutes, KeyEquivalent::tab, Feedback::Reason::undefinedKey)}));
    EXPECT_EQ(beeps.beeps, 2);
}

TEST_F(FieldTest, PastesThroughThePolicies) {
    FakeClipboard clipboard;
    edit(C::minutes);
    auto paste = [&] {
        press(view(C::minutes), Qt::Key_V, QStringLiteral("v"), Qt::ControlModifier);
        runQueued();
    };

    clipboard.setText(QStringLiteral("02:03:04:05"));
    paste();
    EXPECT_TRUE(state->wrappedValue().isIdentical(make({0, 2, 3, 4, 5, 0}, R::fps25)));

    // Another rate is refused under the default policy: a beep and the field's pulse.
    clipboard.contents = timecodeMimeData(make({0, 9, 0, 0, 0, 0}, R::fps24), {});
    paste();
    EXPECT_EQ(state->wrappedValue().hours(), 2);
    EXPECT_EQ(beeps.beeps, 1);
    EXPECT_TRUE(field->animator().isRunning());

    // Under allowNewProperties it enters with its own rate.
    timecodeFieldPastePolicy(box, TimecodeFieldPastePolicy::allowNewProperties);
    paste();
    EXPECT_TRUE(state->wrappedValue().isIdentical(make({0, 9, 0, 0, 0, 0}, R::fps24)));
    EXPECT_EQ(view(C::hours)->stateModel().value(), 9);
    EXPECT_EQ(view(C::frames)->stateModel().frameRate(), R::fps24);

    // A refused paste under a custom feedback goes to its handler alone.
    std::vector<UserAction> handed;
    timecodeFieldInputRejectionFeedback(
        box, Feedback::custom([&handed](const UserAction &action) { handed.push_back(action); }));
    clipboard.setText(QStringLiteral("nothing"));
    paste();
    EXPECT_EQ(handed, std::vector<UserAction>{UserAction::pasteRejected()});
    EXPECT_EQ(beeps.beeps, 1);
}

// Each pair of bindings stays in step, whichever side is written.
TEST(TimecodeFieldBindings, StayConsistent) {
    auto components = Binding<Timecode::Components>::variable({0, 1, 0, 0, 0, 0});
    auto rate = Binding<TimecodeFrameRate>::variable(R::fps24);
    auto base = Binding<Timecode::SubFramesBase>::variable(Base::max80SubFrames);
    auto limit = Binding<Timecode::UpperLimit>::variable(Limit::max24Hours);
    TimecodeField byParts(components, rate, base, limit);
    rate.set(R::fps29_97d);
    EXPECT_EQ(byParts.timecode().get().frameRate(), R::fps29_97d);
    EXPECT_EQ(rowText(byParts), "{hours}:{minutes}:{seconds};{frames}");
    byParts.timecode().set(
        make({2, 0, 0, 0, 1, 0}, R::fps25, Base::quarterFrames, Limit::max100Days));
    EXPECT_EQ(components.get(), (Timecode::Components{2, 0, 0, 0, 1, 0}));
    EXPECT_EQ(rate.get(), R::fps25);
    EXPECT_EQ(base.get(), Base::quarterFrames);
    EXPECT_EQ(limit.get(), Limit::max100Days);
    EXPECT_EQ(rowText(byParts), "{days} {hours}:{minutes}:{seconds}:{frames}");

    // Over a whole timecode, a property written through its binding replaces it without
    // converting the components.
    auto whole = Binding<Timecode>::variable(make({0, 1, 0, 0, 20, 0}, R::fps25));
    TimecodeField byTimecode(whole);
    byTimecode.frameRate().set(R::fps24);
    EXPECT_TRUE(whole.get().isIdentical(make({0, 1, 0, 0, 20, 0}, R::fps24)));
    byTimecode.components().modify([](Timecode::Components &c) { c.frames = 21; });
    EXPECT_EQ(whole.get().frames(), 21);
    EXPECT_EQ(byTimecode.componentView(C::frames)->stateModel().value(), 21);

    // A binding that cannot be observed is reread on refresh.
    Timecode::Components held{0, 5, 0, 0, 0, 0};
    TimecodeField unobserved(Binding<Timecode::Components>(
        [&held] { return held; }, [&held](const Timecode::Components &c) { held = c; }));
    held.hours = 6;
    unobserved.refresh();
    EXPECT_EQ(unobserved.componentView(C::hours)->stateModel().value(), 6);
}

// Invalid values stay and are drawn in the validation style; editing shows the highlight.
TEST_F(FieldTest, LooksFollowTheSettings) {
    build(make({0, 25, 0, 0, 3, 0}, R::fps25));
    EXPECT_EQ(view(C::hours)->foregroundStyle(), QBrush(Qt::red));
    EXPECT_FALSE(view(C::frames)->foregroundStyle());
    timecodeValidationStyle(box, nullptr);
    EXPECT_FALSE(view(C::hours)->foregroundStyle());
    EXPECT_EQ(state->wrappedValue().hours(), 25);

    EXPECT_FALSE(view(C::frames)->backgroundStyle());
    edit(C::frames);
    EXPECT_EQ(view(C::frames)->backgroundStyle()->color(),
              view(C::frames)->palette().color(QPalette::Highlight));
    timecodeFieldHighlightStyle(box, QColor(Qt::yellow));
    EXPECT_EQ(view(C::frames)->backgroundStyle(), QBrush(Qt::yellow));
    EXPECT_FALSE(view(C::hours)->backgroundStyle());

    // Sub-frames take the sub-frames style and scale; invalid ones the validation style.
    timecodeFormat(box, {Option::showSubFrames});
    timecodeSubFramesStyle(box, QColor(Qt::blue), TextScale::secondary);
    timecodeValidationStyle(box, QColor(Qt::magenta));
    EXPECT_EQ(view(C::subFrames)->foregroundStyle(), QBrush(Qt::blue));
    state->modifyWrappedValue([](Timecode &t) { t.setSubFrames(95); });
    runQueued();
    EXPECT_EQ(view(C::subFrames)->foregroundStyle(), QBrush(Qt::magenta));
    EXPECT_LT(view(C::subFrames)->sizeHint().width(), view(C::frames)->sizeHint().width());
}

// The contrast of two colours as the web's accessibility guidelines measure it, 1 to 21.
double contrast(const QColor &a, const QColor &b) {
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](double channel) {
            return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double lighter = std::max(luminance(a), luminance(b));
    const double darker = std::min(luminance(a), luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

// A number being edited stays readable on its fill, an out-of-range one too, and still looks
// out of range: it sits on the validation colour rather than the highlight.
TEST_F(FieldTest, AnEditedNumberReadsOnItsFillAndAnInvalidOneStillShows) {
    build(make({0, 25, 0, 0, 3, 0}, R::fps25));
    struct Case {
        const char *what;
        QColor highlight;
        QColor validation;
    };
    const Case cases[] = {
        {"the host's accent and the standard red", QColor::fromRgbF(0.0f, 0.549f, 0.847f),
         QColor(Qt::red)},
        {"a dark blue and the standard red", QColor(0, 90, 200), QColor(Qt::red)},
        {"yellow and magenta", QColor(255, 204, 0), QColor(Qt::magenta)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        timecodeFieldHighlightStyle(box, c.highlight);
        timecodeValidationStyle(box, c.validation);
        for (const C component : {C::hours, C::frames}) {
            edit(component);
            const bool invalid = component == C::hours;
            const ShapeStyle fill = view(component)->backgroundStyle();
            const ShapeStyle digits = view(component)->foregroundStyle();
            ASSERT_TRUE(fill && digits);
            EXPECT_EQ(fill->color(), invalid ? c.validation : c.highlight);
            EXPECT_GE(contrast(digits->color(), fill->color()), 3.0);
        }
    }
    // Out of editing, an invalid number keeps the validation colour.
    field->setFocusedComponent(std::nullopt);
    runQueued();
    EXPECT_EQ(view(C::hours)->foregroundStyle(), QBrush(Qt::magenta));
    EXPECT_FALSE(view(C::hours)->backgroundStyle());
}

// The animations run on the injected clock; once at rest their effect is gone.
TEST_F(FieldTest, ShakeAndPulseRunOnTheClock) {
    field->perform(Feedback::RejectionAnimation::shake);
    EXPECT_DOUBLE_EQ(field->animator().offset(), TimecodeField::shakeIntensity);
    EXPECT_NE(field->graphicsEffect(), nullptr);
    clock.now += 0.05;
    field->animator().tick();
    EXPECT_NEAR(field->animator().offset(), RejectionAnimationCurve::shakeOffset(0.05), 1e-9);

    field->perform(Feedback::RejectionAnimation::pulse);
    EXPECT_DOUBLE_EQ(field->animator().brightness(), TimecodeField::pulseIntensity);
    clock.now += 0.04;
    field->animator().tick();
    EXPECT_NEAR(field->animator().brightness(), 0.35, 1e-9);
    field->grab();

    clock.now += RejectionAnimationCurve::duration(Feedback::RejectionAnimation::shake);
    field->animator().tick();
    EXPECT_FALSE(field->animator().isRunning());
    EXPECT_EQ(field->animator().offset(), 0);
    EXPECT_EQ(field->graphicsEffect(), nullptr);
}

} // namespace
} // namespace timecode
