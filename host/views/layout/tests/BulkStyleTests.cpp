// The bulk style panel: one property over every element of the active preset, the colour rule
// of picked colours, and the panel's fields.

#include "host/views/common/tests/ViewTestSupport.h"
#include "host/views/layout/BulkStyle.h"
#include "host/views/layout/BulkStylePanel.h"
#include "host/views/layout/ElementColor.h"
#include "host/views/layout/SliderField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <array>
#include <functional>
#include <limits>

namespace tandrel::testing {
namespace {

// Five elements that differ in everything the panel writes, one disabled, of every kind.
std::vector<BurnInElement> mixedElements() {
    std::vector<BurnInElement> elements;
    const std::array fields{MetadataField::sourceTC, MetadataField::marker, MetadataField::roleText,
                            MetadataField::stackedLayerReel, MetadataField::clipName};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        BurnInElement element(fields[i]);
        element.fontSize = 14 + 6.0 * static_cast<double>(i);
        element.textR = 0.1 * static_cast<double>(i);
        element.textOpacity = 0.5;
        element.bgOpacity = 0.2;
        element.showBackground = i % 2 == 0;
        element.textAlignment = BurnInTextAlignment::center;
        element.posX = 0.1 * static_cast<double>(i);
        element.isEnabled = i != 1;
        element.roleFilterUIDs = {"role-" + std::to_string(i)};
        elements.push_back(element);
    }
    return elements;
}

TEST(BulkStyle, ColourRuleConvertsToSRGBAndClamps) {
    using RGB = std::array<double, 3>;
    const struct {
        const char *what;
        QColor colour;
        RGB rgb;
    } cases[] = {
        {"white", QColor(Qt::white), {1, 1, 1}},
        {"half-transparent red", QColor::fromRgbF(1, 0, 0, 0.5), {1, 0, 0}},
        {"grey as hue, saturation, value", QColor::fromHsvF(0, 0, 0.5), {0.5, 0.5, 0.5}},
        {"grey as hue, saturation, lightness",
         QColor::fromHslF(0.3f, 0, 0.25f),
         {0.25, 0.25, 0.25}},
        {"cyan in CMYK", QColor::fromCmykF(1, 0, 0, 0), {0, 1, 1}},
        {"red in CMYK", QColor::fromCmykF(0, 1, 1, 0), {1, 0, 0}},
        {"extended range", QColor::fromRgbF(1.5f, -0.25f, 0.5f), {1, 0, 0.5}},
    };
    for (const auto &[what, colour, rgb] : cases) {
        SCOPED_TRACE(what);
        const std::optional<RGB> got = ElementColor::sRGBComponents(colour);
        ASSERT_TRUE(got);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR((*got)[i], rgb[i], 1e-4) << i;
        }
    }
    EXPECT_FALSE(ElementColor::sRGBComponents(QColor()));
    BurnInElement element(MetadataField::clipName);
    const BurnInElement before = element;
    EXPECT_FALSE(ElementColor::apply(element, QColor(), false));
    EXPECT_EQ(element, before);
    EXPECT_TRUE(ElementColor::apply(element, QColor::fromCmykF(0, 1, 1, 0, 0.3f), true));
    EXPECT_EQ(std::tie(element.bgR, element.bgG, element.bgB), std::tuple(1.0, 0.0, 0.0));
    EXPECT_EQ(element.bgOpacity, before.bgOpacity);
}

TEST(BulkStyle, NumberFieldsRefuseSizesAtOrBelowZeroAndClampOpacities) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double typed;
        std::optional<double> size;
        std::optional<double> opacity;
    } cases[] = {{24, 24, 1},   {100, 100, 1}, {0.5, 0.5, 0.5}, {0, {}, 0},   {-3, {}, 0},
                 {1.5, 1.5, 1}, {inf, {}, {}}, {-inf, {}, {}},  {nan, {}, {}}};
    for (const auto &[typed, size, opacity] : cases) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(BulkStyle::acceptedFontSize(typed), size);
        EXPECT_EQ(BulkStyle::acceptedOpacity(typed), opacity);
    }
}

class BulkStyleTest : public EditorTest {};

TEST_F(BulkStyleTest, EachRowChangesOnlyItsFieldsInEveryElement) {
    const struct {
        const char *row;
        BulkStyle::Mutation mutation;
        std::function<void(BurnInElement &)> expected;
    } rows[] = {
        {"Font Size", BulkStyle::fontSize(30), [](BurnInElement &e) { e.fontSize = 30; }},
        {"Text Alignment", BulkStyle::textAlignment(BurnInTextAlignment::right),
         [](BurnInElement &e) { e.textAlignment = BurnInTextAlignment::right; }},
        {"Text Color", BulkStyle::textColor(QColor::fromRgbF(0, 1, 0, 0.25)),
         [](BurnInElement &e) {
             e.textR = 0;
             e.textG = 1;
             e.textB = 0;
         }},
        {"Font Opacity", BulkStyle::textOpacity(0.35),
         [](BurnInElement &e) { e.textOpacity = 0.35; }},
        {"Background", BulkStyle::showBackground(false),
         [](BurnInElement &e) { e.showBackground = false; }},
        {"Background Color", BulkStyle::backgroundColor(QColor(Qt::blue), 0.6),
         [](BurnInElement &e) {
             e.bgR = 0;
             e.bgG = 0;
             e.bgB = 1;
             e.bgOpacity = 0.6;
         }},
        {"Background Color, cancelled colour", BulkStyle::backgroundColor(QColor(), 0.4),
         [](BurnInElement &e) { e.bgOpacity = 0.4; }},
        {"Text Color, cancelled colour", BulkStyle::textColor(QColor()), [](BurnInElement &) {}},
    };
    for (const auto &[row, mutation, expected] : rows) {
        SCOPED_TRACE(row);
        addUserPreset(row, mixedElements());
        std::vector<BurnInElement> want = active().elements;
        for (BurnInElement &element : want) {
            expected(element);
        }
        const DisplayConfig before = active();
        const int writes = presetWrites;
        EXPECT_TRUE(BulkStyle::applyToAllElements(state(), mutation));
        EXPECT_EQ(active().elements, want);
        EXPECT_EQ(active().name, before.name);
        EXPECT_EQ(presetWrites, writes + (want == before.elements ? 0 : 1));
    }
}

TEST_F(BulkStyleTest, AnEmptyPresetOrNoActivePresetWritesNothing) {
    addUserPreset("Empty", {});
    int writes = presetWrites;
    EXPECT_TRUE(BulkStyle::applyToAllElements(state(), BulkStyle::fontSize(30)));
    EXPECT_EQ(presetWrites, writes);

    deactivate();
    const std::vector<DisplayConfig> before = state().presets();
    writes = presetWrites;
    EXPECT_FALSE(BulkStyle::applyToAllElements(state(), BulkStyle::fontSize(30)));
    EXPECT_EQ(state().presets(), before);
    EXPECT_EQ(presetWrites, writes);
}

// The panel over the pane's values, with colour pickers that answer as the test says.
class BulkStylePanelTest : public EditorTest {
protected:
    BulkStyleValues values;
    std::optional<QColor> picked;
    BulkStylePanel panel{state(), values,
                         [this](QWidget *, const QColor &, const ColorWell::Picked &answer) {
                             if (picked) {
                                 answer(*picked);
                             }
                         }};

    void apply(std::size_t row) { panel.applyButtons().at(row)->click(); }
};

TEST_F(BulkStylePanelTest, StartsFromThePanesValuesAndSaysWhatApplyDoes) {
    EXPECT_EQ(values, BulkStyleValues{});
    EXPECT_EQ(values.fontSize, 24);
    EXPECT_EQ(values.textColor, QColor(Qt::white));
    EXPECT_EQ(values.bgOpacity, 0.7);
    EXPECT_EQ(panel.fontSize()->field()->text(), QLocale().toString(24.0, 'f', 0));
    EXPECT_EQ(panel.alignment()->currentText(), QStringLiteral("Left"));
    EXPECT_TRUE(panel.background()->isChecked());
    EXPECT_EQ(panel.background()->text(), QStringLiteral("Background"));
    EXPECT_EQ(panel.applyButtons().size(), 6U);
    for (QAbstractButton *button : panel.applyButtons()) {
        EXPECT_EQ(button->text(), QStringLiteral("Apply"));
    }
    EXPECT_EQ(panel.caption()->text(),
              QString::fromUtf8("Overwrites every element in this preset immediately \u2014 "
                                "duplicate the preset first if you want to keep the current "
                                "state."));
    EXPECT_EQ(panel.fontSize()->field()->maximumWidth(), BulkStylePanel::fieldWidth);
}

TEST_F(BulkStylePanelTest, ATypedSizeAboveTheSliderIsKeptAndApplied) {
    addUserPreset("Mine", mixedElements());
    type(panel.fontSize()->field(), QStringLiteral("100"));
    EXPECT_EQ(values.fontSize, 100);
    EXPECT_EQ(panel.fontSize()->slider()->value(), panel.fontSize()->slider()->maximum());
    // A size of 0 or less, or no finite number, keeps the last good one.
    for (const QString &refused : {QStringLiteral("0"), QStringLiteral("-4"), QStringLiteral("inf"),
                                   QStringLiteral("nan")}) {
        type(panel.fontSize()->field(), refused);
        EXPECT_EQ(values.fontSize, 100) << refused.toStdString();
    }
    emit panel.fontSize()->field()->editingFinished();
    EXPECT_EQ(panel.fontSize()->field()->text(), QLocale().toString(100.0, 'f', 0));
    apply(0);
    for (const BurnInElement &element : active().elements) {
        EXPECT_EQ(element.fontSize, 100);
    }

    type(panel.textOpacity()->field(), QLocale().toString(1.5));
    EXPECT_EQ(values.textOpacity, 1);
    type(panel.backgroundOpacity()->field(), QLocale().toString(-0.5));
    EXPECT_EQ(values.bgOpacity, 0);
}

TEST_F(BulkStylePanelTest, PickedColoursAreConvertedAndACancelledPickerChangesNothing) {
    addUserPreset("Mine", mixedElements());
    picked = QColor::fromCmykF(1, 0, 0, 0, 0.5f);
    panel.textColor()->click();
    apply(2);
    for (const BurnInElement &element : active().elements) {
        EXPECT_NEAR(element.textR, 0, 1e-4);
        EXPECT_NEAR(element.textG, 1, 1e-4);
        EXPECT_NEAR(element.textB, 1, 1e-4);
        EXPECT_EQ(element.textOpacity, 0.5);
    }

    picked.reset();
    const QColor before = values.textColor;
    panel.textColor()->click();
    EXPECT_EQ(values.textColor, before);
    EXPECT_EQ(panel.textColor()->colour(), before);
}

TEST_F(BulkStylePanelTest, ApplyWritesToThePresetActiveWhenPressed) {
    const Uuid first = addUserPreset("First", mixedElements());
    addUserPreset("Second", mixedElements());
    state().setActivePresetID(first);
    emit panel.alignment()->activated(2);
    EXPECT_EQ(values.textAlignment, BurnInTextAlignment::right);
    activate("Second");
    apply(1);
    for (const BurnInElement &element : active().elements) {
        EXPECT_EQ(element.textAlignment, BurnInTextAlignment::right);
    }
    activate("First");
    EXPECT_EQ(active().elements.at(0).textAlignment, BurnInTextAlignment::center);

    // The background switch alone changes only whether the background shows.
    panel.background()->click();
    EXPECT_FALSE(values.showBackground);
    const std::vector<BurnInElement> before = active().elements;
    apply(4);
    for (std::size_t i = 0; i < before.size(); ++i) {
        BurnInElement want = before[i];
        want.showBackground = false;
        EXPECT_EQ(active().elements[i], want);
    }
}

} // namespace
} // namespace tandrel::testing
