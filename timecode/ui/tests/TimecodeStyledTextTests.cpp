#include "timecode/ui/RetiredAliases.h"
#include "timecode/ui/StyledText.h"
#include "timecode/ui/TimecodeStyledText.h"

#include "timecode/ui/tests/UiTestSupport.h"

#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;
using Option = Timecode::StringFormatOption;

const QBrush separatorGrey(Qt::gray);
const QBrush subFramesBlue(Qt::blue);
const QBrush invalidRed(Qt::red);

// The runs that carry a colour, as "text=colour" pairs.
std::vector<std::string> coloured(const StyledText &styled) {
    std::vector<std::string> pieces;
    for (const StyledText::Run &run : styled.runs()) {
        if (run.colour) {
            pieces.push_back(run.text.toStdString() + "=" +
                             run.colour->color().name().toStdString());
        }
    }
    return pieces;
}

TEST(TimecodeStyledText, CharactersOfEveryForm) {
    struct Case {
        Timecode timecode;
        Timecode::StringFormat format;
        const char *text;
    };
    const std::vector<Case> cases{
        {make({0, 1, 0, 0, 0, 0}, R::fps29_97d), {}, "01:00:00;00"},
        {make({0, 1, 0, 0, 0, 0}, R::fps29_97d), {Option::filenameCompatible}, "01-00-00-00"},
        {make({2, 1, 0, 0, 0, 0}, R::fps25, Base::max80SubFrames, Limit::max100Days),
         {},
         "2 01:00:00:00"},
        // The day separator stays a space in the file-name form.
        {make({2, 1, 0, 0, 0, 0}, R::fps25, Base::max80SubFrames, Limit::max100Days),
         {Option::filenameCompatible},
         "2 01-00-00-00"},
        {make({0, 0, 0, 0, 0, 0}, R::fps25), {Option::alwaysShowDays}, "0 00:00:00:00"},
        {make({0, 0, 0, 0, 5, 0}, R::fps120), {}, "00:00:00:005"},
        {make({0, 0, 0, 0, 5, 0}, R::fps100), {}, "00:00:00:05"},
        {make({0, 0, 0, 0, 0, 3}, R::fps24, Base::quarterFrames),
         {Option::showSubFrames},
         "00:00:00:00.3"},
        {make({0, 0, 0, 0, 0, 7}, R::fps24, Base::max80SubFrames),
         {Option::showSubFrames},
         "00:00:00:00.07"},
        // Out-of-range values are shown as they are.
        {make({0, 25, 0, 0, 99, 0}, R::fps24), {}, "25:00:00:99"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(
            text(c.timecode, c.format, std::nullopt, std::nullopt, TextScale::standard, invalidRed)
                .plainText(),
            c.text);
        EXPECT_EQ(attributedString(c.timecode, c.format, separatorGrey, subFramesBlue, invalidRed)
                      .plainText(),
                  c.text);
    }
}

TEST(TimecodeStyledText, StylesTheirPieces) {
    // Only the invalid hours take the validation style.
    const Timecode badHours = make({0, 25, 0, 0, 0, 0}, R::fps24);
    EXPECT_EQ(
        coloured(text(badHours, {}, std::nullopt, std::nullopt, TextScale::standard, invalidRed)),
        std::vector<std::string>{"25=#ff0000"});
    // Without a validation style nothing is coloured.
    EXPECT_TRUE(
        coloured(text(badHours, {}, std::nullopt, std::nullopt, TextScale::standard, std::nullopt))
            .empty());

    // Separators and sub-frames in their styles; invalid sub-frames in the validation style,
    // still at their scale, and the scale on them only.
    const Timecode badSubFrames = make({0, 1, 0, 0, 2, 90}, R::fps24, Base::max80SubFrames);
    const StyledText styled = text(badSubFrames, {Option::showSubFrames}, separatorGrey,
                                   subFramesBlue, TextScale::secondary, invalidRed);
    EXPECT_EQ(coloured(styled), (std::vector<std::string>{":=#a0a0a4", ":=#a0a0a4", ":=#a0a0a4",
                                                          ".=#a0a0a4", "90=#ff0000"}));
    EXPECT_TRUE(styled.monospacedDigits());
    for (const StyledText::Run &run : styled.runs()) {
        EXPECT_EQ(run.scale, run.text == "90" ? TextScale::secondary : TextScale::standard)
            << run.text.toStdString();
    }
    const Timecode goodSubFrames = make({0, 1, 0, 0, 2, 40}, R::fps24, Base::max80SubFrames);
    EXPECT_EQ(coloured(attributedString(goodSubFrames, {Option::showSubFrames}, std::nullopt,
                                        subFramesBlue, invalidRed)),
              std::vector<std::string>{"40=#0000ff"});
}

TEST(TimecodeStyledText, TextFieldFormMergesFormats) {
    QTextCharFormat base;
    base.setFontWeight(QFont::Bold);
    QTextCharFormat invalid;
    invalid.setForeground(Qt::red);
    QTextCharFormat separators;
    separators.setForeground(Qt::gray);
    QTextCharFormat subFrames;
    subFrames.setFontItalic(true);

    const Timecode timecode = make({0, 1, 0, 0, 30, 40}, R::fps25);
    // The file-name option does not apply to this form.
    const StyledText styled =
        nsAttributedString(timecode, {Option::showSubFrames, Option::filenameCompatible}, base,
                           separators, subFrames, invalid);
    EXPECT_EQ(styled.plainText(), "01:00:00:30.40");
    for (const StyledText::Run &run : styled.runs()) {
        SCOPED_TRACE(run.text.toStdString());
        EXPECT_FALSE(run.colour);
        if (run.text == "30") {
            EXPECT_EQ(run.format.foreground().color(), QColor(Qt::red));
            EXPECT_EQ(run.format.fontWeight(), QFont::Bold);
        } else if (run.text == "40") {
            EXPECT_TRUE(run.format.fontItalic());
            EXPECT_EQ(run.format.fontWeight(), QFont::Bold);
        } else if (run.text == ":" || run.text == ".") {
            EXPECT_EQ(run.format, separators);
        } else {
            EXPECT_EQ(run.format, base);
        }
    }
    // Without a separator format the separators take the default one.
    const StyledText plain =
        nsAttributedString(timecode, {}, base, std::nullopt, std::nullopt, std::nullopt);
    for (const StyledText::Run &run : plain.runs()) {
        EXPECT_EQ(run.format, base) << run.text.toStdString();
    }

    // The retired form is this one without separator and sub-frames formats.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    EXPECT_EQ(stringValueValidated(timecode, {Option::showSubFrames}, invalid, base),
              nsAttributedString(timecode, {Option::showSubFrames}, base, std::nullopt,
                                 std::nullopt, invalid));
#pragma GCC diagnostic pop
}

TEST(StyledText, RangesCoverTheTextWithResolvedFormats) {
    StyledText styled;
    styled.append(QStringLiteral("01"), QBrush(Qt::red));
    styled.append(StyledText::Run{QStringLiteral(".25"), std::nullopt, {}, TextScale::secondary});
    styled.setMonospacedDigits(true);
    QFont base;
    base.setPointSizeF(20);
    const QList<QTextLayout::FormatRange> ranges = styled.formatRanges(base);
    int covered = 0;
    for (const QTextLayout::FormatRange &range : ranges) {
        EXPECT_EQ(range.start, covered);
        covered += range.length;
        const bool secondary = range.start >= 2;
        EXPECT_EQ(range.format.hasProperty(QTextFormat::FontPointSize), secondary);
        if (secondary) {
            EXPECT_DOUBLE_EQ(range.format.fontPointSize(), 20 * secondaryTextScaleFactor);
        } else {
            EXPECT_EQ(range.format.foreground().color(), QColor(Qt::red));
        }
    }
    EXPECT_EQ(covered, 5);

    const StyledText centred = styled.addingAttribute(Qt::AlignHCenter);
    EXPECT_EQ(centred.alignment(), Qt::AlignHCenter);
    EXPECT_FALSE(styled.alignment());
}

// The rich text a label shows keeps the characters (the blank after the days included), the
// colours and the alignment.
TEST(StyledText, HtmlKeepsTextColoursAndAlignment) {
    const Timecode timecode =
        make({2, 25, 0, 0, 0, 0}, R::fps25, Base::max80SubFrames, Limit::max100Days);
    const StyledText styled = text(timecode, {Option::filenameCompatible}, separatorGrey,
                                   std::nullopt, TextScale::standard, invalidRed)
                                  .addingAttribute(Qt::AlignRight);
    QTextDocument document;
    document.setHtml(styled.toHtml(QFont()));
    EXPECT_EQ(document.toPlainText(), "2 25-00-00-00");
    const QTextBlock block = document.begin();
    EXPECT_TRUE(block.blockFormat().alignment() & Qt::AlignRight);
    std::vector<std::string> colours;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.hasProperty(QTextFormat::ForegroundBrush)) {
            colours.push_back(it.fragment().text().toStdString() + "=" +
                              format.foreground().color().name().toStdString());
        }
    }
    EXPECT_EQ(colours, (std::vector<std::string>{" =#a0a0a4", "25=#ff0000", "-=#a0a0a4",
                                                 "-=#a0a0a4", "-=#a0a0a4"}));
}

} // namespace
} // namespace timecode
