#include "host/bridge/ActiveSelection.h"
#include "host/bridge/PresetSummary.h"

#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tandrel::ExtensionBridge {
namespace {

const Uuid conform = *Uuid::fromString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");

template <typename T> std::string encoded(const T &value) {
    return encodeJsonText(encodeJsonValue(value));
}

template <typename T> std::optional<T> decoded(const std::string &text) {
    try {
        return decodeJsonValue<T>(parseJsonText(text));
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

TEST(BridgeRecords, AreWrittenCompactWithTheirKeysInOrderAndUpperCaseIds) {
    EXPECT_EQ(encoded(std::vector<PresetSummary>{}), "[]");
    EXPECT_EQ(encoded(std::vector<PresetSummary>{{conform, "Conform"}, {Uuid(), "Ünïcode"}}),
              "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"Conform\"},"
              "{\"id\":\"00000000-0000-0000-0000-000000000000\",\"name\":\"Ünïcode\"}]");
    EXPECT_EQ(encoded(ActiveSelection{"Main Edit", conform, 786'240'000.5}),
              "{\"sequenceName\":\"Main Edit\","
              "\"selectedPresetID\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\","
              "\"updatedAt\":786240000.5}");
    // Absent values are left out.
    EXPECT_EQ(encoded(ActiveSelection{std::nullopt, std::nullopt, 0}), "{\"updatedAt\":0.0}");
}

TEST(BridgeRecords, ReadStrictlyButForAbsentOptionalsAndUnknownKeys) {
    struct Case {
        const char *json;
        std::optional<ActiveSelection> selection;
    };
    const Case cases[] = {
        {"{\"updatedAt\":12}", ActiveSelection{std::nullopt, std::nullopt, 12}},
        {"{\"sequenceName\":null,\"selectedPresetID\":null,\"updatedAt\":1.5,\"extra\":[]}",
         ActiveSelection{std::nullopt, std::nullopt, 1.5}},
        {"{\"sequenceName\":\" A \",\"selectedPresetID\":"
         "\"e621e1f8-c36c-495a-93fc-0c247a3e6e5f\",\"updatedAt\":-3}",
         ActiveSelection{" A ", conform, -3}},
        // The date is required; a preset id must be a UUID.
        {"{\"sequenceName\":\"A\"}", std::nullopt},
        {"{\"sequenceName\":\"A\",\"updatedAt\":null}", std::nullopt},
        {"{\"selectedPresetID\":\"Conform\",\"updatedAt\":1}", std::nullopt},
        {"{\"sequenceName\":7,\"updatedAt\":1}", std::nullopt},
        {"[]", std::nullopt},
        {"not json", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(decoded<ActiveSelection>(c.json), c.selection) << c.json;
    }

    EXPECT_EQ(decoded<std::vector<PresetSummary>>(
                  "[{\"name\":\"Conform\",\"id\":\"e621e1f8-c36c-495a-93fc-0c247a3e6e5f\"}]"),
              (std::vector<PresetSummary>{{conform, "Conform"}}));
    // One bad entry fails the whole list.
    EXPECT_EQ(decoded<std::vector<PresetSummary>>(
                  "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"Conform\"},"
                  "{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"}]"),
              std::nullopt);
}

TEST(BridgeRecords, DatesCountFromTheStartOf2001) {
    using namespace std::chrono;
    EXPECT_EQ(ActiveSelection::secondsSinceReferenceDate(system_clock::time_point(
                  duration_cast<system_clock::duration>(seconds(978'307'200)))),
              0);
    EXPECT_DOUBLE_EQ(
        ActiveSelection::secondsSinceReferenceDate(system_clock::time_point(
            duration_cast<system_clock::duration>(seconds(1'700'000'000) + milliseconds(250)))),
        721'692'800.25);
}

} // namespace
} // namespace tandrel::ExtensionBridge
