#include "core/support/Uuid.h"

#include <gtest/gtest.h>

#include <set>

namespace tandrel {
namespace {

TEST(Uuid, RandomIdentifiersAreVersion4AndDistinct) {
    std::set<Uuid> seen;
    for (int i = 0; i < 100; ++i) {
        const Uuid uuid = Uuid::random();
        EXPECT_EQ(uuid.bytes()[6] >> 4, 4);
        EXPECT_EQ(uuid.bytes()[8] >> 6, 2);
        const std::string text = uuid.uuidString();
        ASSERT_EQ(text.size(), 36u);
        EXPECT_EQ(text[14], '4');
        EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos) << text;
        EXPECT_EQ(Uuid::fromString(text), uuid);
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 100u);
}

TEST(Uuid, ParsingAcceptsEitherCaseOfTheCanonicalFormOnly) {
    const auto upper = Uuid::fromString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(Uuid::fromString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f"), upper);
    EXPECT_EQ(Uuid::fromString("00000000-0000-0000-0000-000000000000"), Uuid());

    for (const char *text : {
             "",
             "E621E1F8C36C495A93FC0C247A3E6E5F",
             "{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}",
             " E621E1F8-C36C-495A-93FC-0C247A3E6E5F",
             "E621E1F8-C36C-495A-93FC-0C247A3E6E5G",
             "E621E1F8-C36C-495A-93FC0-C247A3E6E5F",
             "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0",
         }) {
        EXPECT_FALSE(Uuid::fromString(text)) << text;
    }
}

TEST(Uuid, JsonIsTheUpperCaseText) {
    const Uuid uuid = *Uuid::fromString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    EXPECT_EQ(Json(uuid), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(Json("e621e1f8-c36c-495a-93fc-0c247a3e6e5f").get<Uuid>(), uuid);
    EXPECT_THROW((void)Json("not-a-uuid").get<Uuid>(), DecodingError);
    EXPECT_THROW((void)Json(42).get<Uuid>(), DecodingError);
}

} // namespace
} // namespace tandrel
