#include "timecode/core/Timecode.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;
using Set = C::Set;

TEST(TimecodeComponent, NavigatesAmongTheRemainingComponents) {
    EXPECT_EQ(C::first(), C::days);
    EXPECT_EQ(C::last(), C::subFrames);
    EXPECT_EQ(C::first({C::days, C::hours}), C::minutes);
    EXPECT_EQ(C::last({C::subFrames}), C::frames);

    EXPECT_EQ(C(C::frames).next({C::frames}, false), C::days);
    EXPECT_EQ(C(C::frames).previous({C::frames}, false), C::subFrames);
    EXPECT_EQ(C(C::days).previous({}, false), C::days);
    EXPECT_EQ(C(C::days).previous({}, true), C::subFrames);
    EXPECT_EQ(C(C::frames).next({C::days, C::subFrames}, true), C::hours);
    EXPECT_EQ(C(C::frames).next({C::days, C::subFrames}, false), C::frames);
    EXPECT_EQ(C(C::minutes).next({C::seconds}, false), C::frames);
    EXPECT_EQ(C(C::frames).previous({C::seconds, C::minutes}, false), C::hours);

    const Set all(C::allCases().begin(), C::allCases().end());
    EXPECT_FALSE(C::first(all));
    EXPECT_FALSE(C(C::hours).next(all, true));
    EXPECT_FALSE(C(C::hours).previous(all, false));
}

TEST(TimecodeComponent, NamesAndDigits) {
    EXPECT_EQ(C(C::subFrames).nameLowerCamelCase(), "subFrames");
    EXPECT_EQ(C(C::subFrames).nameCapitalized(), "SubFrames");
    EXPECT_EQ(C(C::subFrames).nameLowercased(), "subframes");
    EXPECT_EQ(C(C::days).nameCapitalized(), "Days");
    EXPECT_TRUE(C(C::days) < C(C::hours));
    for (R rate : R::allCases()) {
        EXPECT_EQ(C(C::frames).numberOfDigits(rate, Base::max80SubFrames),
                  rate.maxFrames() >= 119 ? 3 : 2);
    }
    EXPECT_EQ(C(C::hours).numberOfDigits(R::fps120, Base::quarterFrames), 2);
    EXPECT_EQ(C(C::subFrames).numberOfDigits(R::fps24, Base::quarterFrames), 1);
    EXPECT_EQ(C(C::subFrames).numberOfDigits(R::fps24, Base::max100SubFrames), 2);
}

TEST(TimecodeComponents, ValidityAtDropRates) {
    struct Case {
        R rate;
        Components components;
        bool valid;
    };
    const Case cases[] = {
        {R::fps29_97d, {0, 0, 1, 0, 0, 0}, false},   {R::fps29_97d, {0, 0, 1, 0, 1, 0}, false},
        {R::fps29_97d, {0, 0, 1, 0, 2, 0}, true},    {R::fps29_97d, {0, 0, 10, 0, 0, 0}, true},
        {R::fps29_97d, {0, 0, 1, 1, 0, 0}, true},    {R::fps30d, {0, 0, 1, 0, 1, 0}, false},
        {R::fps59_94d, {0, 0, 1, 0, 3, 0}, false},   {R::fps59_94d, {0, 0, 1, 0, 4, 0}, true},
        {R::fps60d, {0, 0, 59, 0, 3, 0}, false},     {R::fps119_88d, {0, 0, 1, 0, 7, 0}, false},
        {R::fps119_88d, {0, 0, 1, 0, 8, 0}, true},   {R::fps120d, {0, 0, 10, 0, 0, 0}, true},
        {R::fps29_97, {0, 0, 1, 0, 0, 0}, true},     {R::fps29_97d, {0, 0, 1, 0, 30, 0}, false},
        {R::fps119_88d, {0, 0, 0, 0, 119, 0}, true},
    };
    for (const Case &c : cases) {
        const Set invalid = c.components.invalidComponents(props(c.rate));
        EXPECT_EQ(invalid.empty(), c.valid)
            << c.rate.rawValue() << " " << c.components.minutes << ":" << c.components.frames;
        if (!c.valid) {
            EXPECT_EQ(invalid, Set{C::frames});
        }
    }
    // Negative minutes count by the integer remainder.
    EXPECT_EQ((Components{0, 0, -10, 0, 0, 0}).validRange(C::frames, props(R::fps29_97d)).lower, 0);
    EXPECT_EQ((Components{0, 0, -1, 0, 0, 0}).validRange(C::frames, props(R::fps29_97d)).lower, 2);
}

TEST(TimecodeComponents, RangesByProperties) {
    const Components zero;
    EXPECT_EQ(zero.validRange(C::days, props(R::fps25)), (ClosedRange<int64_t>{0, 0}));
    EXPECT_EQ(zero.validRange(C::days, R::fps25, Base::max80SubFrames, Limit::max100Days),
              (ClosedRange<int64_t>{0, 99}));
    EXPECT_EQ(zero.validRange(C::hours, props(R::fps25)), (ClosedRange<int64_t>{0, 23}));
    EXPECT_EQ(zero.validRange(C::minutes, props(R::fps25)), (ClosedRange<int64_t>{0, 59}));
    EXPECT_EQ(zero.validRange(C::frames, props(R::fps50)), (ClosedRange<int64_t>{0, 49}));
    EXPECT_EQ(zero.validRange(C::subFrames, props(R::fps25, Base::max100SubFrames)),
              (ClosedRange<int64_t>{0, 99}));
    EXPECT_EQ(zero.validRange(C::subFrames, props(R::fps25, Base::quarterFrames)),
              (ClosedRange<int64_t>{0, 3}));

    EXPECT_EQ((Components{1, 0, 0, 0, 0, 0}).invalidComponents(props(R::fps25)), Set{C::days});
    EXPECT_TRUE((Components{99, 0, 0, 0, 0, 0})
                    .invalidComponents(R::fps25, Base::max80SubFrames, Limit::max100Days)
                    .empty());
    EXPECT_EQ((Components{100, 0, 0, 0, 0, 0})
                  .invalidComponents(R::fps25, Base::max80SubFrames, Limit::max100Days),
              Set{C::days});
    EXPECT_EQ((Components{0, -1, 0, 0, 0, 0}).invalidComponents(props(R::fps25)), Set{C::hours});
    EXPECT_EQ((Components{0, 0, 0, 0, 0, 80}).invalidComponents(props(R::fps25)),
              Set{C::subFrames});
    EXPECT_TRUE((Components{0, 0, 0, 0, 0, 3})
                    .invalidComponents(props(R::fps25, Base::quarterFrames))
                    .empty());
    EXPECT_EQ((Components{-1, 24, 60, -1, 25, -1}).invalidComponents(props(R::fps25)),
              Set(C::allCases().begin(), C::allCases().end()));
}

TEST(TimecodeComponents, DigitCounts) {
    EXPECT_TRUE((Components{0, 0, 0, 0, 100, 0})
                    .isWithinValidDigitCounts(R::fps119_88, Base::max80SubFrames));
    EXPECT_TRUE(
        (Components{0, 0, 0, 0, 119, 0}).isWithinValidDigitCounts(R::fps120, Base::max80SubFrames));
    const Components hundred{0, 0, 0, 0, 100, 0};
    EXPECT_FALSE(hundred.isWithinValidDigitCounts(R::fps100, Base::max80SubFrames));
    EXPECT_FALSE(hundred.invalidComponents(props(R::fps100)).empty());
    // Only digits are tested, not ranges: days 99 passes under any limit, hours −99 too.
    EXPECT_TRUE((Components{99, -99, 75, 0, 0, 0})
                    .isWithinValidDigitCounts(R::fps24, Base::max80SubFrames));
    EXPECT_FALSE(
        (Components{0, 0, 0, 0, 0, 10}).isWithinValidDigitCounts(R::fps24, Base::quarterFrames));
    EXPECT_FALSE(
        (Components{100, 0, 0, 0, 0, 0}).isWithinValidDigitCounts(R::fps24, Base::max80SubFrames));
}

TEST(TimecodeComponents, DictionaryAndArrayForms) {
    const Components onlyFrames = Components::fromDictionary({{C::frames, 12}});
    EXPECT_EQ(onlyFrames, (Components{0, 0, 0, 0, 12, 0}));
    Components components{1, 2, 3, 4, 5, 6};
    components.set({{C::frames, 12}});
    EXPECT_EQ(components, (Components{1, 2, 3, 4, 12, 6}));
    EXPECT_EQ(components.dictionary().size(), 6u);
    EXPECT_EQ(components.dictionary().at(C::seconds), 4);

    EXPECT_EQ(Components::fromArray({{C::hours, 1}, {C::hours, 2}, {C::subFrames, 9}}),
              (Components{0, 2, 0, 0, 0, 9}));
    components.setArray({{C::days, 7}});
    EXPECT_EQ(components, (Components{7, 2, 3, 4, 12, 6}));
    const auto pairs = components.array();
    EXPECT_EQ(pairs[0], (Timecode::Components::Pair{C::days, 7}));
    EXPECT_EQ(pairs[5], (Timecode::Components::Pair{C::subFrames, 6}));
    std::vector<int64_t> iterated;
    for (const auto &pair : components) {
        iterated.push_back(pair.value);
    }
    EXPECT_EQ(iterated, (std::vector<int64_t>{7, 2, 3, 4, 12, 6}));
}

TEST(TimecodeComponents, Coding) {
    const Components components{1, 2, 3, 4, 5, 6};
    const Json json = components;
    EXPECT_EQ(json.dump(),
              R"({"days":1,"hours":2,"minutes":3,"seconds":4,"frames":5,"subFrames":6})");
    EXPECT_EQ(json.get<Components>(), components);
    // Out-of-range values decode unchanged.
    EXPECT_EQ(
        Json::parse(R"({"subFrames":-1,"frames":99,"seconds":0,"minutes":0,"hours":0,"days":0})")
            .get<Components>(),
        (Components{0, 0, 0, 0, 99, -1}));

    const char *failing[] = {
        R"({"days":0,"hours":0,"minutes":0,"seconds":0,"frames":0})",
        R"({"days":0,"hours":0,"minutes":0,"seconds":0,"frames":0,"subframes":0})",
        R"({"days":0,"hours":0,"minutes":0,"seconds":0,"frames":1.5,"subFrames":0})",
        R"({"days":0,"hours":"1","minutes":0,"seconds":0,"frames":0,"subFrames":0})",
        R"({"days":0,"hours":18446744073709551615,"minutes":0,"seconds":0,"frames":0,"subFrames":0})",
        R"([0,0,0,0,0,0])",
    };
    for (const char *text : failing) {
        Components untouched{9, 9, 9, 9, 9, 9};
        EXPECT_THROW(from_json(Json::parse(text), untouched), DecodingError) << text;
        EXPECT_EQ(untouched, (Components{9, 9, 9, 9, 9, 9}));
    }
}

TEST(TimecodeComponents, RandomRecords) {
    for (int i = 0; i < 2000; ++i) {
        const R rate = R::allCases()[static_cast<size_t>(i) % R::caseCount];
        const Timecode::Properties properties =
            props(rate, Base::allCases()[static_cast<size_t>(i) % 3],
                  i % 2 ? Limit::max100Days : Limit::max24Hours);
        EXPECT_TRUE(Components::random(properties).invalidComponents(properties).empty());
    }
    const Timecode::ComponentRanges ranges{{1, 1}, {2, 3}, {0, 0}, {-5, -5}, {7, 9}, {0, 99}};
    for (int i = 0; i < 100; ++i) {
        const Components components = Components::random(ranges);
        EXPECT_EQ(components.days, 1);
        EXPECT_TRUE(ranges.hours.contains(components.hours));
        EXPECT_EQ(components.seconds, -5);
        EXPECT_TRUE(ranges.frames.contains(components.frames));
    }
    EXPECT_EQ(Timecode::ComponentRanges::unsafeRandomRanges().frames,
              (ClosedRange<int64_t>{0, 99}));
}

TEST(TimecodeProperties, Coding) {
    const auto properties = props(R::fps29_97d, Base::max100SubFrames, Limit::max100Days);
    const Json json = properties;
    EXPECT_EQ(json.dump(), R"({"frameRate":"29.97d","subFramesBase":100,"upperLimit":"100 days"})");
    EXPECT_EQ(json.get<Timecode::Properties>(), properties);
    EXPECT_THROW(Json::parse(R"({"frameRate":"29.97d","subFramesBase":50,"upperLimit":"24 hours"})")
                     .get<Timecode::Properties>(),
                 DecodingError);
    EXPECT_THROW(
        Json::parse(R"({"frameRate":"29.97d","subFramesBase":80})").get<Timecode::Properties>(),
        DecodingError);
}

} // namespace
} // namespace timecode
