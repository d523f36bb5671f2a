// The settings window: the appearance presets and what picking one writes, the transparency
// slider and its label, feedback and the privacy policy.
#include "host/views/main/tests/HostViewsFixture.h"

#include "designkit/CorvaneAppearancePreset.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneSlider.h"
#include "host/views/common/TextButton.h"
#include "host/views/feedback/FeedbackSheet.h"
#include "host/views/settings/SettingsContent.h"
#include "host/views/settings/SettingsView.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include <cmath>
#include <limits>

namespace tandrel {
namespace {

using corvane::CorvaneAppearancePreset;

TEST(SettingsView, ThePercentLabelKeepsEveryStepAndAStored029) {
    struct Case {
        double darkness;
        const char *label;
    };
    const Case cases[] = {
        {0.95, "95%"},
        {0.7, "70%"},
        {0.4, "40%"},
        {0, "0%"},
        {1, "100%"},
        // 0.29 × 100 is 28.999999999999996.
        {0.29, "29%"},
        {0.57, "57%"},
        // Toward zero, as written by hand.
        {0.999, "99%"},
        {-0.004, "0%"},
        {1.5, "150%"},
        {std::numeric_limits<double>::quiet_NaN(), "95%"},
        {std::numeric_limits<double>::infinity(), "95%"},
        {1e300, "1000000000000%"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SettingsContent::percentLabel(c.darkness), c.label) << c.darkness;
    }
    for (int step = 0; step <= SettingsContent::sliderSteps; ++step) {
        const double darkness = SettingsContent::darkness(step);
        EXPECT_EQ(SettingsContent::percentLabel(darkness), QStringLiteral("%1%").arg(5 * step));
        EXPECT_EQ(SettingsContent::sliderPosition(darkness), step);
        // As steps of 0.05 add up, too.
        EXPECT_EQ(SettingsContent::percentLabel(step * 0.05), QStringLiteral("%1%").arg(5 * step));
    }
    EXPECT_EQ(SettingsContent::sliderPosition(0.29), 6);
    EXPECT_EQ(SettingsContent::sliderPosition(3), 20);
    EXPECT_EQ(SettingsContent::sliderPosition(-1), 0);
}

TEST(SettingsView, APresetWritesItsKeysInOrderInOneWrite) {
    auto defaults = std::make_shared<testing::CountingDefaults>();
    Preferences preferences(defaults);
    SettingsContent::apply(CorvaneAppearancePreset::deepBlack(), preferences);
    EXPECT_EQ(defaults->saves, 1);
    const std::vector<std::pair<QString, QVariant>> expected{
        {"corvaneAppearancePresetID", QStringLiteral("deepBlack")},
        {"corvaneBaseColorHex", QStringLiteral("#000000")},
        {"corvaneSidebarColorHex", QString()},
        {"corvaneSidebarDarknessDelta", 0.05},
        {"windowGlassDarkness", 0.7},
    };
    EXPECT_EQ(defaults->written, expected);
    EXPECT_EQ(SettingsContent::presetIndex(QStringLiteral("soft")), 1);
    EXPECT_EQ(SettingsContent::presetIndex(QStringLiteral("Soft")), std::nullopt);
}

TEST(SettingsView, ADarknessThatIsNoNumberReadsAsTheDefaultEverywhere) {
    for (const char *stored : {"nan", "inf", "-inf"}) {
        auto defaults = std::make_shared<platform::MemoryKeyValueStore>();
        defaults->setValue(QStringLiteral("windowGlassDarkness"), QString::fromLatin1(stored));
        Preferences preferences(defaults);
        EXPECT_EQ(preferences.glassDarkness(), 0.95) << stored;
        const MainWindowAppearance appearance =
            MainWindowAppearance::from(preferences.appearance());
        EXPECT_EQ(appearance.baseOpacity, 0.95) << stored;
        // A colour keeps its opacity in 16 bits.
        EXPECT_NEAR(appearance.bandColor.alphaF(), 0.95, 1e-4) << stored;
    }
}

class SettingsViewWidget : public testing::HostViewsTest {
protected:
    std::shared_ptr<testing::CountingDefaults> settings =
        std::make_shared<testing::CountingDefaults>();
    Preferences counted{settings};
};

TEST_F(SettingsViewWidget, PicksApplyOnlyAChangeAndTheSliderFineTunesThem) {
    SettingsView view(state(), counted, opener);
    // A main window over the same preferences.
    ContentView::Environment overCounted = environment();
    overCounted.preferences = &counted;
    ContentView window(overCounted);
    QComboBox *picker = view.presetPicker();

    // First launch: nothing stored.
    EXPECT_EQ(picker->currentText(), "Saffra Colors");
    EXPECT_EQ(view.transparencySlider()->value(), 19);
    EXPECT_EQ(view.percentLabel()->text(), "95%");
    EXPECT_TRUE(settings->writes.empty());

    // One choice, one write of the settings file.
    picker->setCurrentIndex(0);
    EXPECT_EQ(settings->saves, 1);
    EXPECT_EQ(counted.text(QStringLiteral("corvaneAppearancePresetID"), {}), "deepBlack");
    EXPECT_EQ(counted.appearance(), (AppearanceSettings{0.7, "#000000", "", 0.05}));
    EXPECT_EQ(view.percentLabel()->text(), "70%");
    EXPECT_EQ(window.appearance().baseOpacity, 0.7) << "every window repaints at once";

    // The slider writes the darkness alone.
    view.transparencySlider()->setValue(0);
    EXPECT_EQ(settings->saves, 2);
    EXPECT_EQ(counted.glassDarkness(), 0);
    EXPECT_EQ(view.percentLabel()->text(), "0%");
    EXPECT_EQ(picker->currentText(), "Deep Black");
    view.transparencySlider()->setValue(20);
    EXPECT_EQ(view.percentLabel()->text(), "100%");

    // Picking the chosen preset again is no change: the slider stays.
    picker->setCurrentIndex(0);
    EXPECT_EQ(counted.glassDarkness(), 1);
    EXPECT_EQ(view.transparencySlider()->value(), 20);

    picker->setCurrentIndex(1);
    EXPECT_EQ(counted.appearance(), (AppearanceSettings{0.4, "#000000", "", 0.05}));
    EXPECT_EQ(view.percentLabel()->text(), "40%");
    EXPECT_EQ(view.transparencySlider()->value(), 8);
}

// A drag of the transparency slider is one change: every window follows each step, the
// settings are written once, when it ends; a step from the keyboard is written at once.
TEST_F(SettingsViewWidget, ADragOfTheSliderWritesOnceWhenItEnds) {
    SettingsView view(state(), counted, opener);
    ContentView::Environment overCounted = environment();
    overCounted.preferences = &counted;
    ContentView window(overCounted);
    QSlider *slider = view.transparencySlider();
    view.resize(SettingsView::windowSize);
    view.show();

    slider->setSliderDown(true);
    for (const int step : {18, 16, 14, 12}) {
        slider->setValue(step);
        EXPECT_EQ(view.percentLabel()->text(), QStringLiteral("%1%").arg(step * 5));
        EXPECT_NEAR(window.appearance().baseOpacity, step * 0.05, 1e-9) << "the window follows";
    }
    EXPECT_EQ(settings->saves, 0);
    slider->setSliderDown(false);
    EXPECT_EQ(settings->saves, 1);
    EXPECT_EQ(settings->written.back().first, "windowGlassDarkness");
    EXPECT_NEAR(settings->written.back().second.toDouble(), 0.6, 1e-9);

    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(settings->saves, 2);
    EXPECT_NEAR(counted.glassDarkness(), 0.55, 1e-9);

    // Cut short by the window's closing: stored all the same.
    {
        SettingsView closing(state(), counted, opener);
        closing.transparencySlider()->setSliderDown(true);
        closing.transparencySlider()->setValue(4);
    }
    EXPECT_EQ(settings->saves, 3);
    EXPECT_NEAR(counted.glassDarkness(), 0.2, 1e-9);
}

TEST_F(SettingsViewWidget, TheTransparencySliderLooksAsEverySliderOfTheHost) {
    SettingsView view(state(), counted, opener);
    view.show();
    QSlider *slider = view.transparencySlider();
    // The kit's slider, drawn at the same size and place.
    QSlider kit;
    corvane::corvaneSlider(&kit);
    kit.setRange(slider->minimum(), slider->maximum());
    kit.setValue(slider->value());
    kit.setFont(slider->font());
    kit.resize(slider->size());
    // The slider alone, without what lies behind it.
    const auto drawn = [](QWidget *widget) {
        QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        widget->render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    };
    EXPECT_EQ(drawn(slider), drawn(&kit));
}

TEST_F(SettingsViewWidget, StoredValuesShowAsTheyAreAndAreNeverCorrected) {
    settings->setValue(QStringLiteral("corvaneAppearancePresetID"), QStringLiteral("gone"));
    settings->setValue(QStringLiteral("windowGlassDarkness"), 0.29);
    settings->writes.clear();
    SettingsView view(state(), counted, opener);
    EXPECT_EQ(view.presetPicker()->currentIndex(), -1) << "an unknown id selects no item";
    EXPECT_EQ(view.percentLabel()->text(), "29%");
    EXPECT_EQ(view.transparencySlider()->value(), 6);
    EXPECT_TRUE(settings->writes.empty());

    // A change made elsewhere shows at once.
    counted.setValue(QStringLiteral("windowGlassDarkness"), 0.55);
    EXPECT_EQ(view.percentLabel()->text(), "55%");
    EXPECT_EQ(view.transparencySlider()->value(), 11);
    EXPECT_EQ(settings->writes["windowGlassDarkness"], 1);

    // Any pick is a change from no item.
    view.presetPicker()->setCurrentIndex(2);
    EXPECT_EQ(counted.appearance(), AppearanceSettings::defaults());
}

TEST_F(SettingsViewWidget, FeedbackComesFromSettingsAndThePolicyOpensOnTheDesktop) {
    SettingsView view(state(), counted, opener);
    view.show();
    view.sendFeedbackButton()->click();
    ASSERT_NE(view.feedbackSheet(), nullptr);
    EXPECT_EQ(view.feedbackSheet()->model().herkunft(), "Settings");
    view.feedbackSheet()->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view.feedbackSheet(), nullptr);

    view.privacyPolicyLink()->click();
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0].scheme(), "https");
}

} // namespace
} // namespace tandrel
