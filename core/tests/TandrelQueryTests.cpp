#include "core/model/TandrelQuery.h"
#include "core/support/JsonText.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

TEST(TandrelQuery, CodesItsThreeKeys) {
    EXPECT_EQ(encodeJsonText(Json(TandrelQuery{.timelinePosition = 86400, .projectRate = 24})),
              R"({"timelinePosition":86400,"projectRate":24.0})");
    EXPECT_EQ(encodeJsonText(Json(TandrelQuery{1, 25, "Reel 1"})),
              R"({"timelinePosition":1,"projectRate":25.0,"projectName":"Reel 1"})");

    const auto query = parseJsonText(R"({"projectRate": 23.976, "timelinePosition": -5, "x": 1})")
                           .get<TandrelQuery>();
    EXPECT_EQ(query.timelinePosition, -5);
    EXPECT_EQ(query.projectRate, 23.976);
    EXPECT_FALSE(query.projectName);

    for (const char *text : {R"({"projectRate": 24})", R"({"timelinePosition": 1})",
                             R"({"timelinePosition": 1.5, "projectRate": 24})",
                             R"({"timelinePosition": 1, "projectRate": "24"})",
                             R"({"timelinePosition": 1, "projectRate": 24, "projectName": 3})"}) {
        EXPECT_THROW((void)parseJsonText(text).get<TandrelQuery>(), DecodingError) << text;
    }
}

} // namespace
} // namespace tandrel
