// The visible-picture ratio picker and the commit-on-release slider: their rules as tables,
// and the controls driven as a user drives them.

#include "host/views/common/tests/ViewTestSupport.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/AspectRatioPicker.h"
#include "host/views/layout/AspectRatioPickerView.h"
#include "host/views/layout/CommitOnReleaseSlider.h"
#include "host/views/layout/SliderScale.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tandrel::testing {
namespace {

using Preset = AspectRatioPicker::Preset;

TEST(AspectRatio, SelectionFollowsTheRatioWithinOneThousandth) {
    const struct {
        std::optional<double> ratio;
        Preset shown;
    } cases[] = {
        {std::nullopt, Preset::fullFrame},
        {2.39, Preset::scope239},
        {2.3899, Preset::scope239},
        {2.389, Preset::custom}, // a difference of 0.001
        {2.3909, Preset::scope239},
        {2.35, Preset::scope235},
        {1.85, Preset::flat185},
        {1.3333, Preset::classic43},
        {4.0 / 3.0, Preset::classic43},
        {2.0, Preset::custom},
        {-1.0, Preset::custom},
    };
    for (const auto &[ratio, shown] : cases) {
        SCOPED_TRACE(ratio ? std::to_string(*ratio) : "absent");
        EXPECT_EQ(AspectRatioPicker::presetSelection(ratio), shown);
    }
    std::vector<std::string> titles;
    for (const Preset preset : Preset::allCases()) {
        titles.emplace_back(preset.title());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Full Frame", "2.39:1", "2.35:1", "1.85:1", "4:3",
                                                "Custom"}));
}

TEST(AspectRatio, MenuChoicesGiveTheirRatiosAndCustomStartsAtTwoToOne) {
    const struct {
        Preset chosen;
        std::optional<double> current;
        std::optional<double> ratio;
    } cases[] = {
        {Preset::fullFrame, 2.39, std::nullopt},
        {Preset::scope239, std::nullopt, 2.39},
        {Preset::scope235, 1.9, 2.35},
        {Preset::flat185, std::nullopt, 1.85},
        {Preset::classic43, std::nullopt, 1.3333333333333333},
        {Preset::custom, std::nullopt, 2.0},
        {Preset::custom, 2.3899, 2.0}, // from a listed ratio
        {Preset::custom, 1.9, 1.9},    // a custom ratio is kept
    };
    for (const auto &[chosen, current, ratio] : cases) {
        SCOPED_TRACE(std::string(chosen.title()));
        EXPECT_EQ(AspectRatioPicker::ratioForPreset(chosen, current), ratio);
    }
}

TEST(AspectRatio, FieldRatioTakesOnlyWholeNumbersAndFiniteQuotients) {
    const struct {
        const char *width;
        const char *height;
        std::optional<double> ratio;
    } cases[] = {
        {"16", "9", 16.0 / 9.0},
        {"2,4", "1", 2.4},
        {"2.35", "1", 2.35},
        {"1e1", "5", 2.0},
        {"+2", "1", 2.0},
        {"-2", "1", -2.0}, // a ratio, but not a usable one
        {"2", "0", std::nullopt},
        {"2", "-0", std::nullopt},
        {" 2", "1", std::nullopt},
        {"\t2", "1", std::nullopt},
        {"2 ", "1", std::nullopt},
        {"2x", "1", std::nullopt},
        {"", "1", std::nullopt},
        {"2", "", std::nullopt},
        {"1,2,3", "1", std::nullopt},
        {"++2", "1", std::nullopt},
        {"inf", "1", std::nullopt},
        {"nan", "1", std::nullopt},
        {"1", "1e-320", std::nullopt},
        {"1e308", "0.1", std::nullopt},
    };
    for (const auto &[width, height, ratio] : cases) {
        SCOPED_TRACE(std::string(width) + " : " + height);
        EXPECT_EQ(AspectRatioPicker::fieldRatio(width, height), ratio);
    }
    // Ratios that are not above 0 never reach a preset.
    EXPECT_FALSE((CustomRatioFields{"-2", "1"}.usableRatio()));
    EXPECT_FALSE((CustomRatioFields{"1", "inf"}.usableRatio()));
    EXPECT_FALSE((CustomRatioFields{"0", "1"}.usableRatio()));
    EXPECT_EQ((CustomRatioFields{"2,4", "1"}.usableRatio()), 2.4);
}

TEST(AspectRatio, FormatShowsWholeRatiosWithoutDecimals) {
    const std::pair<double, const char *> cases[] = {{2.0, "2"},           {2.39, "2.39"},
                                                     {4.0 / 3.0, "1.33"},  {2.4, "2.40"},
                                                     {16.0 / 9.0, "1.78"}, {12.0, "12"}};
    for (const auto &[ratio, text] : cases) {
        EXPECT_EQ(AspectRatioPicker::format(ratio), text);
    }
}

// The picker bound to a ratio of its own, as a preset's option binds it.
class AspectRatioView : public ::testing::Test {
protected:
    std::optional<double> ratio;
    int writes = 0;
    AspectRatioPickerView view{[this] { return ratio; },
                               [this](std::optional<double> r) {
                                   ++writes;
                                   ratio = r;
                               }};

    void choose(Preset preset) { emit view.menu()->activated(static_cast<int>(preset)); }
    std::pair<QString, QString> fields() const {
        return {view.widthField()->text(), view.heightField()->text()};
    }
};

TEST_F(AspectRatioView, FullFrameShowsNoFieldsAndCustomStartsAtTwoToOne) {
    EXPECT_EQ(view.menu()->currentText(), QStringLiteral("Full Frame"));
    EXPECT_FALSE(view.showsCustomFields());
    EXPECT_EQ(view.widthField()->placeholderText(), QStringLiteral("W"));
    EXPECT_EQ(view.heightField()->placeholderText(), QStringLiteral("H"));

    choose(Preset::custom);
    EXPECT_EQ(ratio, 2.0);
    EXPECT_TRUE(view.showsCustomFields());
    EXPECT_EQ(fields(), std::pair(QStringLiteral("2"), QStringLiteral("1")));

    choose(Preset::fullFrame);
    EXPECT_EQ(ratio, std::nullopt);
    EXPECT_FALSE(view.showsCustomFields());
}

TEST_F(AspectRatioView, TypingKeepsTheLastGoodRatioAndReturnResetsBadTexts) {
    ratio = 2.389;
    view.refresh();
    EXPECT_EQ(view.menu()->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(fields(), std::pair(QStringLiteral("2.39"), QStringLiteral("1")));

    type(view.widthField(), QStringLiteral("2,4"));
    EXPECT_EQ(ratio, 2.4);
    EXPECT_EQ(fields(), std::pair(QStringLiteral("2,4"), QStringLiteral("1")));

    const int before = writes;
    for (const QString &bad : {QStringLiteral("0"), QStringLiteral("1e-320"), QStringLiteral("inf"),
                               QStringLiteral("nan")}) {
        SCOPED_TRACE(bad.toStdString());
        type(view.heightField(), bad);
        EXPECT_EQ(ratio, 2.4);
    }
    type(view.widthField(), QStringLiteral("inf"));
    EXPECT_EQ(writes, before);

    QTest::keyClick(view.heightField(), Qt::Key_Return);
    EXPECT_EQ(fields(), std::pair(QStringLiteral("2.40"), QStringLiteral("1")));
    EXPECT_EQ(ratio, 2.4);
    // Return on texts that hold: nothing moves.
    type(view.widthField(), QStringLiteral("21"));
    type(view.heightField(), QStringLiteral("9"));
    QTest::keyClick(view.widthField(), Qt::Key_Return);
    EXPECT_EQ(fields(), std::pair(QStringLiteral("21"), QStringLiteral("9")));

    // Leaving a field with a text that gives no ratio is as Return: the field does not keep it.
    QWidget window;
    view.setParent(&window);
    auto *elsewhere = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    view.heightField()->setFocus(Qt::OtherFocusReason);
    type(view.heightField(), QStringLiteral("0"));
    elsewhere->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(fields(), std::pair(QStringLiteral("2.33"), QStringLiteral("1")));
    EXPECT_EQ(ratio, 21.0 / 9);
    view.setParent(nullptr);
}

TEST_F(AspectRatioView, TypedTextsStayWhileTheyGiveTheRatio) {
    choose(Preset::custom);
    type(view.widthField(), QStringLiteral("16"));
    type(view.heightField(), QStringLiteral("9"));
    EXPECT_EQ(ratio, 1.7777777777777777);
    EXPECT_EQ(fields(), std::pair(QStringLiteral("16"), QStringLiteral("9")));

    // A listed ratio typed in switches the menu to it and hides the row; "Custom" again starts
    // at 2:1.
    type(view.widthField(), QStringLiteral("2.35"));
    type(view.heightField(), QStringLiteral("1"));
    EXPECT_EQ(ratio, 2.35);
    EXPECT_EQ(view.menu()->currentText(), QStringLiteral("2.35:1"));
    EXPECT_FALSE(view.showsCustomFields());
    choose(Preset::custom);
    EXPECT_EQ(ratio, 2.0);
    EXPECT_EQ(fields(), std::pair(QStringLiteral("2"), QStringLiteral("1")));

    // A change from elsewhere rewrites the texts; a change to the full frame leaves them.
    ratio = 1.9;
    view.refresh();
    EXPECT_EQ(fields(), std::pair(QStringLiteral("1.90"), QStringLiteral("1")));
    CustomRatioFields kept{"16", "9"};
    kept.ratioChanged(std::nullopt);
    EXPECT_EQ(kept.width, "16");
    kept.ratioChanged(1.7785); // within the tolerance of 16:9
    EXPECT_EQ(kept.width, "16");
}

TEST(CommitSlider, ScaleClampsCountsStepsAndFormats) {
    const SliderScale size(12, 72, 1);
    const SliderScale opacity(0, 1, 0.05);
    const SliderScale position(0, 1, 0.01);
    EXPECT_EQ(size.clamp(200), 72);
    EXPECT_EQ(size.clamp(5), 12);
    EXPECT_EQ(size.clamp(30.4), 30.4);
    EXPECT_EQ(size.decimals(), 0);
    EXPECT_EQ(opacity.decimals(), 2);
    EXPECT_EQ(size.positionCount(), 60);
    EXPECT_EQ(opacity.positionCount(), 20);
    EXPECT_EQ(position.positionCount(), 100);
    EXPECT_EQ(size.position(40), 28);
    EXPECT_EQ(size.position(100), 60);
    EXPECT_EQ(size.position(std::numeric_limits<double>::infinity()), 60);
    EXPECT_EQ(opacity.value(7), 0.35);
    EXPECT_EQ(position.value(29), 0.29);
    EXPECT_EQ(position.value(100), 1.0);

    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(size.format(30.4, c), QStringLiteral("30"));
    EXPECT_EQ(opacity.format(0.5, c), QStringLiteral("0.50"));
    EXPECT_EQ(opacity.format(0.5, german), QStringLiteral("0,50"));
    EXPECT_EQ(SliderScale::parse(QStringLiteral("0,5"), german), 0.5);
    EXPECT_EQ(SliderScale::parse(QStringLiteral(" 200 "), c), 200);
    for (const QString &refused : {QStringLiteral("inf"), QStringLiteral("nan"),
                                   QStringLiteral("1e999"), QStringLiteral("abc"), QString()}) {
        EXPECT_EQ(SliderScale::parse(refused, c), std::nullopt) << refused.toStdString();
    }
}

// The font size row of an element editor: the slider over a stored element, committing into
// the active preset.
class CommitSliderOnPreset : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        BurnInElement element(MetadataField::clipName);
        element.fontSize = 24;
        id = element.id;
        addUserPreset("Mine", {element});
        slider = std::make_unique<CommitOnReleaseSlider>(
            24, SliderScale(12, 72, 1), [this](double size) {
                commits.push_back(size);
                ActivePreset(state()).update(
                    [size](DisplayConfig &preset) { preset.elements[0].fontSize = size; });
                slider->setValue(stored());
            });
        slider->setLocale(QLocale::c());
    }
    double stored() { return active().elements.at(0).fontSize; }
    void submit(const QString &text) {
        type(slider->field(), text);
        QTest::keyClick(slider->field(), Qt::Key_Return);
    }

    Uuid id;
    std::vector<double> commits;
    std::unique_ptr<CommitOnReleaseSlider> slider;
};

TEST_F(CommitSliderOnPreset, ADragCommitsOnceOnRelease) {
    QSlider *bar = slider->slider();
    const int writesBefore = presetWrites;
    bar->setSliderDown(true);
    for (const double size : {30.0, 36.0, 40.0}) {
        bar->setSliderPosition(SliderScale(12, 72, 1).position(size));
        EXPECT_EQ(slider->draft(), size);
        EXPECT_EQ(slider->field()->text(), QString::number(size));
        EXPECT_EQ(stored(), 24);
    }
    EXPECT_TRUE(commits.empty());
    bar->setSliderDown(false);
    EXPECT_EQ(commits, std::vector<double>{40});
    EXPECT_EQ(stored(), 40);
    EXPECT_EQ(presetWrites, writesBefore + 1);

    // Released where it started: one commit all the same.
    bar->setSliderDown(true);
    bar->setSliderDown(false);
    EXPECT_EQ(commits, (std::vector<double>{40, 40}));

    // A key step is a whole edit.
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(commits.back(), 41);
    EXPECT_EQ(stored(), 41);
}

TEST_F(CommitSliderOnPreset, TheFieldClampsOnReturnAndKeepsValuesBetweenSteps) {
    const struct {
        const char *typed;
        double committed;
        const char *shown;
    } cases[] = {{"200", 72, "72"}, {"5", 12, "12"}, {"30.4", 30.4, "30"}, {"1e2", 72, "72"}};
    for (const auto &[typed, committed, shown] : cases) {
        SCOPED_TRACE(typed);
        submit(QString::fromUtf8(typed));
        EXPECT_EQ(commits.back(), committed);
        EXPECT_EQ(stored(), committed);
        EXPECT_EQ(slider->field()->text(), QString::fromUtf8(shown));
    }
    // Showing 30.4 on the slider's whole steps does not round the draft.
    submit(QStringLiteral("30.4"));
    EXPECT_EQ(slider->slider()->value(), 18);
    EXPECT_EQ(slider->draft(), 30.4);

    // Typing alone stores nothing; text that is no finite number leaves the draft.
    const std::size_t count = commits.size();
    type(slider->field(), QStringLiteral("50"));
    EXPECT_EQ(slider->draft(), 50);
    type(slider->field(), QStringLiteral("inf"));
    EXPECT_EQ(slider->draft(), 50);
    EXPECT_EQ(commits.size(), count);
    EXPECT_EQ(stored(), 30.4);
}

TEST_F(CommitSliderOnPreset, ACommitTheOwnerDropsDoesNotStayInTheControls) {
    // The owner keeps its value (its element is gone, say).
    CommitOnReleaseSlider size(24, SliderScale(12, 72, 1), [](double) {});
    size.setLocale(QLocale::c());
    enter(size.field(), QStringLiteral("40"));
    EXPECT_EQ(size.draft(), 24);
    EXPECT_EQ(size.field()->text(), QStringLiteral("24"));
    EXPECT_EQ(size.slider()->value(), SliderScale(12, 72, 1).position(24));
    size.slider()->setSliderDown(true);
    size.slider()->setValue(SliderScale(12, 72, 1).position(50));
    size.slider()->setSliderDown(false);
    EXPECT_EQ(size.draft(), 24);
    EXPECT_EQ(size.field()->text(), QStringLiteral("24"));
}

TEST_F(CommitSliderOnPreset, AnOpacityKeepsItsTypedValueAndAnOutsideChangeMovesTheDraft) {
    std::vector<double> opacities;
    CommitOnReleaseSlider *owned = nullptr;
    CommitOnReleaseSlider opacity(1.0, SliderScale(0, 1, 0.05), [&](double value) {
        opacities.push_back(value);
        owned->setValue(value);
    });
    owned = &opacity;
    opacity.setLocale(QLocale::c());
    EXPECT_EQ(opacity.field()->text(), QStringLiteral("1.00"));
    type(opacity.field(), QStringLiteral("0.5"));
    QTest::keyClick(opacity.field(), Qt::Key_Return);
    EXPECT_EQ(opacities, std::vector<double>{0.5});
    EXPECT_EQ(opacity.field()->text(), QStringLiteral("0.50"));

    opacity.setValue(0.25);
    EXPECT_EQ(opacity.draft(), 0.25);
    EXPECT_EQ(opacity.field()->text(), QStringLiteral("0.25"));
    EXPECT_EQ(opacity.slider()->value(), 5);
    EXPECT_EQ(opacities.size(), 1U);

    opacity.setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(opacity.field()->text(), QStringLiteral("0,25"));
}

} // namespace
} // namespace tandrel::testing
