#include "timecode/ui/RetiredAliases.h"
#include "timecode/ui/TimecodeEnvironment.h"
#include "timecode/ui/TimecodeText.h"

#include "timecode/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;
using Option = Timecode::StringFormatOption;
using Feedback = TimecodeFieldInputRejectionFeedback;

TEST(TimecodeEnvironment, Defaults) {
    QWidget view;
    QPalette palette = view.palette();
    palette.setColor(QPalette::Highlight, QColor(10, 20, 30));
    view.setPalette(palette);

    const TimecodeEnvironmentValues values = TimecodeEnvironment::of(&view);
    EXPECT_TRUE(values.timecodeFormat.empty());
    EXPECT_FALSE(values.timecodeSeparatorStyle);
    EXPECT_FALSE(values.timecodeSubFramesStyle.style);
    EXPECT_EQ(values.timecodeSubFramesStyle.scale, TextScale::standard);
    EXPECT_EQ(values.timecodeValidationStyle, QBrush(Qt::red));
    EXPECT_FALSE(values.timecodePasted);
    ASSERT_TRUE(values.timecodeFieldInputRejectionFeedback);
    EXPECT_EQ(values.timecodeFieldInputRejectionFeedback->kind(), Feedback::Kind::validationBased);
    EXPECT_EQ(values.timecodeFieldInputRejectionFeedback->animation(),
              Feedback::RejectionAnimation::pulse);
    // The highlight is the reading widget's palette's.
    EXPECT_EQ(values.timecodeFieldHighlightStyle->color(), QColor(10, 20, 30));
    EXPECT_EQ(values.timecodeFieldInputStyle, TimecodeFieldInputStyle::continuousWithinComponent);
    EXPECT_EQ(values.timecodeFieldInputWrapping, TimecodeFieldInputWrapping::noWrap);
    EXPECT_EQ(values.timecodeFieldPastePolicy, TimecodeFieldPastePolicy::preserveLocalProperties);
    EXPECT_FALSE(values.timecodeFieldReturnAction);
    EXPECT_FALSE(values.timecodeFieldEscapeAction);
    EXPECT_EQ(values.timecodeFieldValidationPolicy, TimecodeFieldValidationPolicy::enforceValid);
}

// Outer, middle and inner widgets: each setting comes from the nearest widget that sets it.
TEST(TimecodeEnvironment, NearestSettingWinsFieldByField) {
    QWidget outer;
    auto *middle = new QWidget(&outer);
    auto *inner = new QWidget(middle);
    timecodeFormat(&outer, {Option::showSubFrames});
    timecodeFieldInputStyle(&outer, TimecodeFieldInputStyle::autoAdvance);
    timecodeFormat(middle, {Option::alwaysShowDays});
    timecodeFieldReturnAction(inner, TimecodeFieldAction::endEditing());

    const TimecodeEnvironmentValues values = TimecodeEnvironment::of(inner);
    EXPECT_EQ(values.timecodeFormat, Timecode::StringFormat{Option::alwaysShowDays});
    EXPECT_EQ(values.timecodeFieldInputStyle, TimecodeFieldInputStyle::autoAdvance);
    EXPECT_EQ(values.timecodeFieldReturnAction, TimecodeFieldAction::endEditing());
    EXPECT_EQ(TimecodeEnvironment::of(&outer).timecodeFormat,
              Timecode::StringFormat{Option::showSubFrames});
    EXPECT_FALSE(TimecodeEnvironment::of(middle).timecodeFieldReturnAction);
    // Only what a widget sets itself is its own.
    EXPECT_FALSE(TimecodeEnvironment::overrides(middle).timecodeFieldInputStyle);

    // The halves of the sub-frames setting are apart: an outer style and an inner scale
    // combine; an inner "none" style clears the style and keeps the scale from further out.
    timecodeSubFramesStyle(&outer, QColor(Qt::blue));
    timecodeSubFramesStyle(middle, TextScale::secondary);
    EXPECT_EQ(TimecodeEnvironment::of(inner).timecodeSubFramesStyle.style, QBrush(Qt::blue));
    EXPECT_EQ(TimecodeEnvironment::of(inner).timecodeSubFramesStyle.scale, TextScale::secondary);
    timecodeSubFramesStyle(inner, nullptr);
    EXPECT_FALSE(TimecodeEnvironment::of(inner).timecodeSubFramesStyle.style);
    EXPECT_EQ(TimecodeEnvironment::of(inner).timecodeSubFramesStyle.scale, TextScale::secondary);
    timecodeSubFramesStyle(&outer, Qt::green, TextScale::standard);
    EXPECT_EQ(TimecodeEnvironment::of(middle).timecodeSubFramesStyle.style, QBrush(Qt::green));
    EXPECT_EQ(TimecodeEnvironment::of(middle).timecodeSubFramesStyle.scale, TextScale::secondary);
}

// A "none" that is set is not a setting left alone: it turns the style off below it, where an
// unset one lets the outer style (or the default red) through.
TEST(TimecodeEnvironment, NoneIsNotUnset) {
    QWidget outer;
    auto *inner = new QWidget(&outer);
    timecodeValidationStyle(inner, nullptr);
    EXPECT_FALSE(TimecodeEnvironment::of(inner).timecodeValidationStyle);
    EXPECT_EQ(TimecodeEnvironment::of(&outer).timecodeValidationStyle, QBrush(Qt::red));

    timecodeValidationStyle(&outer, QColor(Qt::green));
    EXPECT_FALSE(TimecodeEnvironment::of(inner).timecodeValidationStyle);
    timecodeValidationStyle(inner, std::optional<QBrush>(QBrush(Qt::yellow)));
    EXPECT_EQ(TimecodeEnvironment::of(inner).timecodeValidationStyle, QBrush(Qt::yellow));
    TimecodeEnvironment::modify(
        inner, [](TimecodeEnvironmentOverrides &set) { set.timecodeValidationStyle.reset(); });
    EXPECT_EQ(TimecodeEnvironment::of(inner).timecodeValidationStyle, QBrush(Qt::green));

    // The same for the optional settings of the field.
    timecodeFieldInputRejectionFeedback(&outer, Feedback::validationBased(std::nullopt));
    timecodeFieldInputRejectionFeedback(inner, std::nullopt);
    EXPECT_FALSE(TimecodeEnvironment::of(inner).timecodeFieldInputRejectionFeedback);
    timecodeFieldHighlightStyle(inner, nullptr);
    EXPECT_FALSE(TimecodeEnvironment::of(inner).timecodeFieldHighlightStyle);
}

// Text views redraw when a setting above them changes, and when they move under other
// settings.
TEST(TimecodeEnvironment, ViewsFollowChanges) {
    QWidget outer;
    auto *text = new TimecodeText(make({0, 1, 0, 0, 12, 40}, R::fps24), &outer);
    EXPECT_EQ(text->styledText().plainText(), "01:00:00:12");
    timecodeFormat(&outer, {Option::showSubFrames});
    EXPECT_EQ(text->styledText().plainText(), "01:00:00:12.40");
    EXPECT_TRUE(text->text().contains("12.40") || text->text().contains(">40<"));

    QWidget other;
    timecodeFormat(&other, {Option::filenameCompatible});
    text->setParent(&other);
    EXPECT_EQ(text->styledText().plainText(), "01-00-00-12");
    EXPECT_TRUE(text->text().contains("01-00-00-12"));

    // The retired text entry point ignores its modifiers and sets the format.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    std::unique_ptr<TimecodeText> retired(stringValueValidatedText(
        make({0, 1, 0, 0, 12, 40}, R::fps24), {Option::showSubFrames},
        [](StyledText) { return StyledText(QStringLiteral("ignored")); }, nullptr));
#pragma GCC diagnostic pop
    EXPECT_EQ(retired->styledText().plainText(), "01:00:00:12.40");
}

} // namespace
} // namespace timecode
