#include "timecode/ui/TimecodeTextField.h"
#include "timecode/ui/TimecodeTextFormatter.h"

#include "timecode/ui/tests/UiTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;
using Option = Timecode::StringFormatOption;

// A text field in an active window, with the keyboard focus, and its refusals.
class TextFieldTest : public ::testing::Test {
protected:
    TextFieldTest()
        : field(new TimecodeTextField(&window)),
          rejected(field, &TimecodeTextField::typingRejected) {
        field->show();
        field->setFocus();
    }

    void setProperties(R rate, Limit limit = Limit::max24Hours,
                       Timecode::StringFormat format = {}) {
        field->formatter()->setFrameRate(rate);
        field->formatter()->setSubFramesBase(Base::max80SubFrames);
        field->formatter()->setUpperLimit(limit);
        field->formatter()->setStringFormat(format);
    }
    // Types the characters one by one; answers the refusals' descriptions.
    std::vector<QString> type(const QString &characters) {
        const int before = static_cast<int>(rejected.count());
        QTest::keyClicks(field, characters);
        std::vector<QString> descriptions;
        for (int i = before; i < rejected.count(); ++i) {
            descriptions.push_back(rejected.at(i).at(0).toString());
        }
        return descriptions;
    }

    ActiveWindow window;
    TimecodeTextField *field;
    QSignalSpy rejected;
};

TEST_F(TextFieldTest, AFreshFieldTakesAnyTyping) {
    EXPECT_TRUE(type(QStringLiteral("abc 1:2")).empty());
    EXPECT_EQ(field->text(), "abc 1:2");
}

TEST_F(TextFieldTest, PointsBecomeTheSeparatorsDue) {
    setProperties(R::fps29_97d);
    EXPECT_TRUE(type(QStringLiteral("01.02.03.04")).empty());
    EXPECT_EQ(field->text(), "01:02:03;04");

    field->clear();
    setProperties(R::fps25);
    type(QStringLiteral("01.02.03.04"));
    EXPECT_EQ(field->text(), "01:02:03:04");
}

TEST_F(TextFieldTest, RefusesWhatCannotBeTimecode) {
    setProperties(R::fps25);
    type(QStringLiteral("01:02:03:04"));
    // A fourth separator is refused without a word; a letter with one.
    EXPECT_EQ(type(QStringLiteral(":")), std::vector<QString>{QString()});
    EXPECT_EQ(type(QStringLiteral("x")), std::vector<QString>{"Invalid characters."});
    EXPECT_EQ(field->text(), "01:02:03:04");
    // Sub-frames only when they are shown.
    EXPECT_EQ(type(QStringLiteral(".")), std::vector<QString>{QString()});
    field->formatter()->setStringFormat({Option::showSubFrames});
    EXPECT_TRUE(type(QStringLiteral(".5")).empty());
    EXPECT_EQ(type(QStringLiteral(".")), std::vector<QString>{QString()});
    EXPECT_EQ(field->text(), "01:02:03:04.5");
}

TEST_F(TextFieldTest, ASpaceOnlyAfterTheDaysOfA100DayLimit) {
    setProperties(R::fps25);
    type(QStringLiteral("1 "));
    EXPECT_EQ(field->text(), "1");

    field->clear();
    setProperties(R::fps25, Limit::max100Days);
    EXPECT_TRUE(type(QStringLiteral("1 01:00:00:00")).empty());
    EXPECT_EQ(field->text(), "1 01:00:00:00");

    field->clear();
    EXPECT_EQ(type(QStringLiteral("01:02 ")).size(), 1u);
    EXPECT_EQ(field->text(), "01:02");
}

// Escape drops what was typed since editing began and keeps the focus.
TEST_F(TextFieldTest, EscapeRestoresTheTextFromBeforeEditing) {
    setProperties(R::fps25);
    field->setText(QStringLiteral("01:00:00:00"));
    field->clearFocus();
    field->setFocus();
    field->selectAll();
    type(QStringLiteral("02"));
    EXPECT_EQ(field->text(), "02");
    EXPECT_TRUE(press(field, Qt::Key_Escape));
    EXPECT_EQ(field->text(), "01:00:00:00");
    EXPECT_TRUE(field->hasFocus());
}

// Out of editing the field shows the display form: reformatted, invalid components marked.
TEST_F(TextFieldTest, ShowsTheDisplayFormOutOfEditing) {
    setProperties(R::fps25);
    field->clearFocus();
    field->setText(QStringLiteral("1:2:3:4"));
    EXPECT_EQ(field->text(), "01:02:03:04");
}

TEST(TimecodeTextFormatter, DisplayText) {
    TimecodeTextFormatter formatter(props(R::fps25), std::nullopt, false, std::nullopt);
    EXPECT_EQ(formatter.string(QStringLiteral("1:2:3:4")), "01:02:03:04");
    EXPECT_EQ(formatter.string(QStringLiteral("01:00:00:25")), "01:00:00:25");
    EXPECT_FALSE(formatter.string(5));
    EXPECT_EQ(formatter.getObjectValue(QStringLiteral("1:2")), QVariant(QStringLiteral("1:2")));
    formatter.setSubFramesBase(std::nullopt);
    EXPECT_FALSE(formatter.timecodeProperties());
    EXPECT_EQ(formatter.string(QStringLiteral("1:2:3:4")), "1:2:3:4");

    const TimecodeTextFormatter empty;
    EXPECT_FALSE(empty.frameRate());
    EXPECT_TRUE(empty.stringFormat().empty());
    EXPECT_EQ(empty.alignment(), Qt::AlignLeading);
    EXPECT_FALSE(empty.showsValidation());
}

TEST(TimecodeTextFormatter, ValidationDisplay) {
    QTextCharFormat invalid;
    invalid.setForeground(Qt::red);
    QTextCharFormat base;
    base.setFontItalic(true);
    TimecodeTextFormatter formatter(make({}, R::fps25), {{Option::showSubFrames}}, true, invalid);
    formatter.setAlignment(Qt::AlignRight);

    // Invalid frames keep their value and take the invalid format over the default one;
    // sub-frames are left out of this form.
    const std::optional<StyledText> styled =
        formatter.attributedString(QStringLiteral("01:00:00:25.10"), base);
    ASSERT_TRUE(styled);
    EXPECT_EQ(styled->plainText(), "01:00:00:25");
    EXPECT_EQ(styled->alignment(), Qt::AlignRight);
    for (const StyledText::Run &run : styled->runs()) {
        SCOPED_TRACE(run.text.toStdString());
        EXPECT_TRUE(run.format.fontItalic());
        EXPECT_EQ(run.format.hasProperty(QTextFormat::ForegroundBrush), run.text == "25");
    }
    // Text that does not parse is invalid as a whole.
    const std::optional<StyledText> whole =
        formatter.attributedString(QStringLiteral("01:00"), base);
    ASSERT_EQ(whole->runs().size(), 1);
    EXPECT_EQ(whole->runs()[0].format.foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(whole->runs()[0].format.fontItalic());
    // Without the validation display, the text in the default format.
    formatter.setShowsValidation(false);
    const std::optional<StyledText> plain =
        formatter.attributedString(QStringLiteral("01:00:00:25.10"), base);
    EXPECT_EQ(plain->plainText(), "01:00:00:25.10");
    EXPECT_FALSE(plain->runs()[0].format.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(formatter.attributedString(QVariant(), base));

    // Copies every setting; the retired names reach the invalid format.
    TimecodeTextFormatter heir;
    heir.inheritProperties(formatter);
    EXPECT_EQ(heir.timecodeProperties(), formatter.timecodeProperties());
    EXPECT_EQ(heir.alignment(), Qt::AlignRight);
    EXPECT_EQ(heir.stringFormat(), Timecode::StringFormat{Option::showSubFrames});
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    EXPECT_EQ(heir.validationAttributes(), invalid);
    heir.setValidationAttributes(base);
    EXPECT_EQ(heir.invalidAttributes(), base);
    const auto retired = TimecodeTextFormatter::withValidationAttributes(
        props(R::fps24), std::nullopt, true, invalid);
#pragma GCC diagnostic pop
    EXPECT_EQ(retired->invalidAttributes(), invalid);
    EXPECT_EQ(retired->frameRate(), R::fps24);
    EXPECT_TRUE(retired->stringFormat().empty());
    EXPECT_EQ(retired->alignment(), Qt::AlignLeading);
}

} // namespace
} // namespace timecode
