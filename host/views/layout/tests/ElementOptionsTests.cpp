#include "host/views/common/tests/ViewTestSupport.h"

#include "core/support/JsonValue.h"
#include "host/views/layout/ElementOptions.h"
#include "host/views/layout/MarkerTypeFilterView.h"
#include "host/views/layout/StackedLayerOptionsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace tandrel::testing {
namespace {

using namespace ElementOptions;

QStringList items(QComboBox *picker) {
    QStringList texts;
    for (int i = 0; i < picker->count(); ++i) {
        texts.push_back(picker->itemText(i));
    }
    return texts;
}

void choose(QComboBox *picker, int index) {
    picker->setCurrentIndex(index);
    emit picker->activated(index);
}

TEST(ElementOptionsMappings, ThreeWayChoicesStoreTheirDefaultAsAbsent) {
    BurnInElement element(MetadataField::stackedLayerReel);
    const struct {
        std::optional<StackedLayerColumns> stored;
        std::size_t shown;
        bool rightPrefix;
    } columns[] = {
        {std::nullopt, 0, true},
        {StackedLayerColumns::both, 0, true},
        {StackedLayerColumns::leftOnly, 1, false},
        {StackedLayerColumns::rightOnly, 2, true},
    };
    for (const auto &[stored, shown, rightPrefix] : columns) {
        element.stackedLayerColumns = stored;
        EXPECT_EQ(columnsIndex(element), shown);
        EXPECT_EQ(showsRightPrefix(element), rightPrefix);
    }
    const std::array<std::optional<StackedLayerColumns>, 3> columnValues{
        std::nullopt, StackedLayerColumns::leftOnly, StackedLayerColumns::rightOnly};
    const std::array<std::optional<StackedLayerPrefixPosition>, 3> prefixValues{
        std::nullopt, StackedLayerPrefixPosition::beforeValue,
        StackedLayerPrefixPosition::afterValue};
    const std::array<std::optional<bool>, 3> orderValues{std::nullopt, true, false};
    for (std::size_t choice = 0; choice < 3; ++choice) {
        setColumns(element, choice);
        EXPECT_EQ(element.stackedLayerColumns, columnValues[choice]);
        EXPECT_EQ(columnsIndex(element), choice);
        setPrefixPosition(element, choice);
        EXPECT_EQ(element.stackedLayerPrefixPosition, prefixValues[choice]);
        EXPECT_EQ(prefixPositionIndex(element), choice);
        setStackOrder(element, choice);
        EXPECT_EQ(element.stackedLayerV1OnTop, orderValues[choice]);
        EXPECT_EQ(stackOrderIndex(element), choice);
    }
    // "Both Columns" leaves the member out of the element's JSON.
    setColumns(element, 0);
    EXPECT_FALSE(encodeJsonValue(element).contains("stackedLayerColumns"));
}

TEST(ElementOptionsMappings, TogglesAndHelpLines) {
    BurnInElement element(MetadataField::markerName);
    setMarkerType(element, MarkerType::todo, true);
    setMarkerType(element, MarkerType::todo, true);
    EXPECT_EQ(element.markerTypes, (std::set<MarkerType>{MarkerType::chapter, MarkerType::todo}));
    setMarkerType(element, MarkerType::standard, false);
    setMarkerType(element, MarkerType::chapter, false);
    setMarkerType(element, MarkerType::todo, false);
    EXPECT_TRUE(element.markerTypes.empty());
    EXPECT_EQ(encodeJsonValue(element)["markerTypes"], Json::array());

    toggleRole(element, "TOP");
    toggleRole(element, "SUB");
    toggleRole(element, "TOP");
    EXPECT_EQ(element.roleFilterUIDs, std::set<std::string>{"SUB"});

    EXPECT_EQ(roleHelp(RoleDisplayMode::custom),
              "The Label above is shown while a clip with any selected role is active.");
    EXPECT_EQ(roleHelp(RoleDisplayMode::mediaFilename), "Shows the active clip's media filename.");
    EXPECT_EQ(roleHelp(RoleDisplayMode::roleName),
              "Shows the role's own name (e.g. \"Music\", \"Brennisk\").");
}

using ElementOptionsViews = ElementTest;

TEST_F(ElementOptionsViews, MarkerToggles) {
    BurnInElement marker(MetadataField::marker);
    usePreset({marker});
    MarkerTypeFilterView view(state(), marker.id);
    EXPECT_EQ(view.heading()->text(), QStringLiteral("Marker Type"));
    const std::array<QString, 3> titles{QStringLiteral("Chapter"), QStringLiteral("To-Do"),
                                        QStringLiteral("Standard")};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(view.toggles()[i]->text(), titles[i]);
        EXPECT_EQ(view.toggles()[i]->isChecked(), i == 0);
    }
    view.toggles()[2]->click();
    EXPECT_EQ(element(0).markerTypes,
              (std::set<MarkerType>{MarkerType::chapter, MarkerType::standard}));
    view.toggles()[0]->click();
    view.toggles()[2]->click();
    EXPECT_EQ(presetWrites, 3);
    EXPECT_TRUE(element(0).markerTypes.empty());

    // Stored as an empty list, and still empty when the presets are read back.
    const std::unique_ptr<AppState> reloaded = nextRun();
    const auto preset =
        std::ranges::find(reloaded->presets(), state().activePresetID(), &DisplayConfig::id);
    ASSERT_NE(preset, reloaded->presets().end());
    EXPECT_TRUE(preset->elements.front().markerTypes.empty());
}

TEST_F(ElementOptionsViews, StackedLayerPickers) {
    BurnInElement block(MetadataField::stackedLayerSlate);
    usePreset({block});
    StackedLayerOptionsView view(state(), block.id);
    EXPECT_EQ(items(view.columns()),
              (QStringList{QStringLiteral("Both Columns"), QStringLiteral("Left Column Only"),
                           QStringLiteral("Right Column Only")}));
    EXPECT_EQ(items(view.prefixPosition()),
              (QStringList{QStringLiteral("Default"), QStringLiteral("Before Value"),
                           QStringLiteral("After Value")}));
    EXPECT_EQ(items(view.stackOrder()),
              (QStringList{QStringLiteral("Preset Default"), QStringLiteral("V1 on top"),
                           QStringLiteral("V1 on bottom")}));
    EXPECT_EQ(view.rightPrefixCaption()->text(),
              QStringLiteral("Right-column prefix — shown as \"[prefix Vx]\" next to each "
                             "layer's value"));
    EXPECT_EQ(view.rightPrefix()->text(), QStringLiteral("SRC"));
    EXPECT_EQ(view.columns()->accessibleName(), QStringLiteral("Columns"));
    EXPECT_EQ(view.prefixPosition()->accessibleName(), QStringLiteral("Prefix Position"));
    EXPECT_EQ(view.rightPrefix()->accessibleName(), QStringLiteral("Right Prefix"));
    EXPECT_EQ(view.stackOrder()->accessibleName(), QStringLiteral("Stack Order"));

    choose(view.columns(), 1);
    EXPECT_EQ(element(0).stackedLayerColumns, StackedLayerColumns::leftOnly);
    EXPECT_TRUE(view.rightPrefixGroup()->isHidden());
    choose(view.columns(), 0);
    EXPECT_FALSE(element(0).stackedLayerColumns);
    EXPECT_FALSE(view.rightPrefixGroup()->isHidden());
    choose(view.columns(), 2);
    EXPECT_EQ(element(0).stackedLayerColumns, StackedLayerColumns::rightOnly);

    choose(view.stackOrder(), 2);
    EXPECT_EQ(element(0).stackedLayerV1OnTop, false);
    choose(view.stackOrder(), 1);
    EXPECT_EQ(element(0).stackedLayerV1OnTop, true);
    choose(view.stackOrder(), 0);
    EXPECT_FALSE(element(0).stackedLayerV1OnTop);
    choose(view.prefixPosition(), 1);
    EXPECT_EQ(element(0).stackedLayerPrefixPosition, StackedLayerPrefixPosition::beforeValue);
    choose(view.prefixPosition(), 0);
    EXPECT_FALSE(element(0).stackedLayerPrefixPosition);

    enter(view.rightPrefix(), QString());
    EXPECT_EQ(element(0).secondaryLabel, "");
    EXPECT_EQ(presetWrites, 9);
}

} // namespace
} // namespace tandrel::testing
