#include "core/support/JsonReader.h"
#include "core/support/JsonText.h"
#include "core/support/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

namespace tandrel {
namespace {

template <typename T> std::optional<T> decoded(const char *text) {
    try {
        return decodeJsonValue<T>(Json::parse(text));
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

TEST(JsonValue, IntegersAreWholeNumbersInRange) {
    struct Case {
        const char *text;
        std::optional<int64_t> expected;
    };
    const Case cases[] = {
        {"3", 3},
        {"-3", -3},
        {"24.0", 24},
        {"1e3", 1000},
        {"9223372036854775807", std::numeric_limits<int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {"3.5", std::nullopt},
        {"-0.25", std::nullopt},
        {"9223372036854775808", std::nullopt},
        {"1e19", std::nullopt},
        {"\"3\"", std::nullopt},
        {"true", std::nullopt},
        {"null", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(decoded<int64_t>(c.text), c.expected) << c.text;
    }
    EXPECT_EQ(decoded<int32_t>("240000"), 240000);
    EXPECT_EQ(decoded<int32_t>("2147483648"), std::nullopt);
}

TEST(JsonValue, PlainValuesKeepTheirJsonTypes) {
    EXPECT_EQ(decoded<double>("3"), 3.0);
    EXPECT_EQ(decoded<double>("-2.5e-1"), -0.25);
    EXPECT_EQ(decoded<double>("\"2.5\""), std::nullopt);
    EXPECT_EQ(decoded<double>("false"), std::nullopt);
    EXPECT_EQ(decoded<bool>("true"), true);
    EXPECT_EQ(decoded<bool>("1"), std::nullopt);
    EXPECT_EQ(decoded<bool>("\"true\""), std::nullopt);
    EXPECT_EQ(decoded<std::string>("\"x\""), "x");
    EXPECT_EQ(decoded<std::string>("3"), std::nullopt);
    EXPECT_EQ((decoded<std::set<std::string>>(R"(["b","a","b"])")),
              (std::set<std::string>{"a", "b"}));
    EXPECT_EQ(decoded<std::vector<int64_t>>(R"([1, 2.5])"), std::nullopt);
    EXPECT_EQ((decoded<std::map<std::string, bool>>(R"({"a": true, "b": 0})")), std::nullopt);
}

struct Sample {
    int64_t count = 0;
    std::optional<double> ratio = {};
    std::vector<Sample> children = {};

    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("count", self.count);
        visit("ratio", self.ratio);
        visit("children", self.children);
    }
};

void to_json(Json &json, const Sample &sample) {
    json = JsonWriter::record(sample);
}

void from_json(const Json &json, Sample &sample) {
    Sample::forEachMember(sample, JsonReader(json, "Sample"));
}

DecodingError decodingFailure(const char *text) {
    try {
        (void)Json::parse(text).get<Sample>();
    } catch (const DecodingError &error) {
        return error;
    }
    ADD_FAILURE() << "decoded: " << text;
    return DecodingError(DecodingError::Kind::dataCorrupted, "");
}

TEST(JsonReader, StrictReadingFailsTheWholeRecordAndSaysWhere) {
    struct Case {
        const char *text;
        DecodingError::Kind kind;
        const char *path;
    };
    const Case cases[] = {
        {R"({"children": []})", DecodingError::Kind::keyNotFound, ""},
        {R"({"count": null, "children": []})", DecodingError::Kind::valueNotFound, ""},
        {R"({"count": 1.5, "children": []})", DecodingError::Kind::dataCorrupted, "count"},
        {R"({"count": 1, "ratio": "1", "children": []})", DecodingError::Kind::typeMismatch,
         "ratio"},
        {R"({"count": 1, "children": [{"count": 2, "children": []}, {"count": 3}]})",
         DecodingError::Kind::keyNotFound, "children[1]"},
        {R"({"count": 1, "children": [{"count": 2, "children": [{"count": "x"}]}]})",
         DecodingError::Kind::typeMismatch, "children[0].children[0].count"},
        {R"([1])", DecodingError::Kind::typeMismatch, ""},
    };
    for (const Case &c : cases) {
        const DecodingError error = decodingFailure(c.text);
        EXPECT_EQ(error.kind(), c.kind) << c.text;
        EXPECT_EQ(error.codingPath(), c.path) << c.text;
    }
    EXPECT_STREQ(decodingFailure(R"({"children": []})").what(),
                 "No value associated with key \"count\".");
    EXPECT_STREQ(decodingFailure(R"({"count": 1, "children": [{"count": true}]})").what(),
                 "Expected to decode Int but found boolean instead. (at children[0].count)");
}

TEST(JsonReader, OptionalMembersMayBeMissingOrNullAndUnknownKeysAreIgnored) {
    const Sample sample =
        Json::parse(R"({"count": 4, "ratio": null, "children": [], "extra": {"x": [1]}})")
            .get<Sample>();
    EXPECT_EQ(sample.count, 4);
    EXPECT_FALSE(sample.ratio);
    EXPECT_EQ(Json::parse(R"({"count": 4, "ratio": 2, "children": []})").get<Sample>().ratio, 2.0);
}

TEST(JsonReader, TolerantReadingKeepsDefaultsButNotWrongTypes) {
    Sample sample{.count = 7, .ratio = 0.5};
    Sample::forEachMember(sample, JsonReader(Json::parse(R"({"count": null})"), "Sample",
                                             JsonReader::Mode::tolerant));
    EXPECT_EQ(sample.count, 7);
    EXPECT_FALSE(sample.ratio); // an optional member is absent unless the JSON gives it
    EXPECT_THROW(Sample::forEachMember(sample, JsonReader(Json::parse(R"({"count": "7"})"),
                                                          "Sample", JsonReader::Mode::tolerant)),
                 DecodingError);
}

TEST(JsonWriter, WritesMembersInOrderAndLeavesAbsentOnesOut) {
    const Sample sample{.count = 1, .children = {Sample{.count = 2, .ratio = 0.5}}};
    EXPECT_EQ(encodeJsonText(Json(sample)),
              R"({"count":1,"children":[{"count":2,"ratio":0.5,"children":[]}]})");
}

TEST(JsonWriter, NonFiniteNumbersFailTheWholeRecord) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        const Sample sample{.count = 1, .children = {Sample{}, Sample{.ratio = bad}}};
        try {
            (void)Json(sample);
            ADD_FAILURE() << "encoded " << bad;
        } catch (const EncodingError &error) {
            EXPECT_EQ(error.codingPath(), "children[1].ratio");
        }
    }
}

TEST(JsonText, RefusesNonFiniteNumbersAnywhere) {
    Json document = Json::parse(R"({"a": [1, {"b": 2.5}]})");
    EXPECT_EQ(encodeJsonText(document), R"({"a":[1,{"b":2.5}]})");
    document["a"][1]["b"] = std::nan("");
    EXPECT_THROW((void)encodeJsonText(document), EncodingError);
}

TEST(JsonText, InvalidUtf8IsReplacedSoTheTextParsesAgain) {
    const Json document = {{"name", std::string("Clip \xC3\x28 \xE2\x80\x94")}};
    const Json reread = parseJsonText(encodeJsonText(document));
    EXPECT_EQ(reread["name"], "Clip \xEF\xBF\xBD( \xE2\x80\x94");
}

TEST(JsonText, MalformedTextIsDataCorrupted) {
    for (const char *text : {"", "{", R"({"a": 1,})", "[1] [2]", "\xFF"}) {
        try {
            (void)parseJsonText(text);
            ADD_FAILURE() << text;
        } catch (const DecodingError &error) {
            EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
        }
    }
}

} // namespace
} // namespace tandrel
