#include "core/model/BurnInTextAlignment.h"
#include "core/model/MarkerType.h"
#include "core/model/MetadataField.h"
#include "core/model/RoleDisplayMode.h"
#include "core/model/StackedLayerColumns.h"
#include "core/model/StackedLayerPrefixPosition.h"

#include <gtest/gtest.h>

#include <set>

namespace tandrel {
namespace {

template <typename E> void expectRawValuesRoundTrip() {
    std::set<std::string_view> seen;
    for (E value : E::allCases()) {
        EXPECT_EQ(E::fromRawValue(value.rawValue()), value);
        const Json json = value;
        EXPECT_EQ(json, std::string(value.rawValue()));
        EXPECT_EQ(json.template get<E>(), value);
        seen.insert(value.rawValue());
    }
    EXPECT_EQ(seen.size(), E::caseCount);
}

TEST(ElementOptions, RawValuesRoundTripThroughJson) {
    expectRawValuesRoundTrip<MetadataField>();
    expectRawValuesRoundTrip<MarkerType>();
    expectRawValuesRoundTrip<RoleDisplayMode>();
    expectRawValuesRoundTrip<BurnInTextAlignment>();
    expectRawValuesRoundTrip<StackedLayerColumns>();
    expectRawValuesRoundTrip<StackedLayerPrefixPosition>();
}

TEST(ElementOptions, RawValuesAreExact) {
    for (const char *text : {"SourceTC", "sourcetc", " sourceTC", "sourceTC ", ""}) {
        EXPECT_FALSE(MetadataField::fromRawValue(text)) << text;
        EXPECT_THROW((void)Json(text).get<MetadataField>(), DecodingError) << text;
    }
    for (const char *text : {"Chapter", "TODO", "to-do", "marker"}) {
        EXPECT_THROW((void)Json(text).get<MarkerType>(), DecodingError) << text;
    }
    EXPECT_THROW((void)Json(3).get<MarkerType>(), DecodingError);
    EXPECT_THROW((void)Json(nullptr).get<BurnInTextAlignment>(), DecodingError);
}

TEST(MetadataField, ListOrderNamesAndLabels) {
    const auto fields = MetadataField::allCases();
    ASSERT_EQ(fields.size(), 23u);
    EXPECT_EQ(fields.front(), MetadataField::sourceTC);
    EXPECT_EQ(fields.back(), MetadataField::position);
    EXPECT_EQ(fields[19], MetadataField::stackedLayerReel);

    std::set<MetadataField> unlabelled;
    for (MetadataField field : fields) {
        if (field.defaultLabel().empty()) {
            unlabelled.insert(field);
        }
    }
    const std::set<MetadataField> expected{
        MetadataField::clipName,          MetadataField::resolution,   MetadataField::marker,
        MetadataField::roleText,          MetadataField::custom,       MetadataField::markerName,
        MetadataField::markerNameAndNote, MetadataField::stabilization};
    EXPECT_EQ(unlabelled, expected);

    EXPECT_EQ(MetadataField(MetadataField::stackedLayerReel).displayName(),
              "Stacked Layers \u2014 Reel/File + Frame # Block");
    EXPECT_EQ(MetadataField(MetadataField::stackedLayerSlate).defaultLabel(), "SLATE");
    EXPECT_EQ(MetadataField(MetadataField::sourceFrame).defaultLabel(), "Src Fm:");
}

} // namespace
} // namespace tandrel
