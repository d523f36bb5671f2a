#include "timecode/core/ItemProvider.h"
#include "timecode/core/Timecode.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;

const Timecode::Properties at24 = props(R::fps24);

Timecode at25(Components components) {
    return make(components, R::fps25, Base::max100SubFrames, Limit::max100Days);
}

ItemProvider textProvider(const std::string &text) {
    ItemProvider provider;
    provider.registerData(Timecode::textUTType(), text);
    return provider;
}

TEST(TimecodeTransfer, TypesAndRepresentations) {
    EXPECT_EQ(UniformType::timecode().identifier(), "com.varnell.timecode");
    EXPECT_TRUE(UniformType::timecode().conforms("public.data"));
    EXPECT_EQ(Timecode::textUTType().identifier(), "public.utf8-plain-text");
    EXPECT_EQ(Timecode::copyUTTypes(),
              (std::vector{UniformType::timecode(), Timecode::textUTType()}));
    EXPECT_EQ(Timecode::pasteUTTypes(), Timecode::copyUTTypes());

    const Timecode timecode = at25({0, 1, 0, 0, 2, 3});
    const auto &representations = Timecode::transferRepresentation();
    ASSERT_EQ(representations.size(), 2u);
    EXPECT_EQ(representations[0].exporting(timecode), Json(timecode).dump());
    EXPECT_EQ(representations[1].exporting(timecode), "01:00:00:02.03");
    EXPECT_FALSE(representations[1].importing);

    const std::vector<ItemProvider> providers =
        timecode.itemProviders({Timecode::StringFormatOption::filenameCompatible});
    ASSERT_EQ(providers.size(), 2u);
    EXPECT_EQ(providers[0].registeredTypeIdentifiers(),
              std::vector<std::string>{"com.varnell.timecode"});
    EXPECT_EQ(providers[1].loadData("public.utf8-plain-text"), "01-00-00-02");
    EXPECT_EQ(providers[1].loadData("public.text"), "01-00-00-02");
}

TEST(TimecodeTransfer, PastesTheRichFormFirst) {
    const Timecode copied = at25({0, 1, 0, 0, 2, 3});
    // The rich form wins and keeps its own properties.
    const Timecode pasted = Timecode::fromItemProviders(copied.itemProviders({}), at24);
    EXPECT_EQ(pasted.properties(), copied.properties());
    EXPECT_EQ(pasted.components(), copied.components());
    // It is found in a later provider too.
    const Timecode second =
        Timecode::fromItemProviders({textProvider("02:00:00:00"), copied.jsonItemProvider()}, at24);
    EXPECT_EQ(second.properties(), copied.properties());
}

TEST(TimecodeTransfer, FallsBackToText) {
    ItemProvider corrupt;
    corrupt.registerData(UniformType::timecode(), "{\"frameRate\":");
    corrupt.registerData(Timecode::textUTType(), "01:00:00:99");
    const Timecode pasted = Timecode::fromItemProvider(corrupt, at24);
    EXPECT_EQ(pasted.properties(), at24);
    // Out-of-range values are kept as written.
    EXPECT_EQ(pasted.components(), (Components{0, 1, 0, 0, 99, 0}));

    ItemProvider failing;
    failing.registerLoader(UniformType::timecode(),
                           []() -> std::string { throw std::runtime_error("gone"); });
    EXPECT_EQ(Timecode::fromItemProviders({failing, textProvider("00:00:01:00")}, at24).seconds(),
              1);
}

// The import under its second name reads the same forms the same way.
TEST(TimecodeTransfer, ImportsForTimecodeStrings) {
    const Timecode copied = at25({0, 1, 0, 0, 2, 3});
    const Timecode rich =
        Timecode::fromItemProvidersForTimecodeString(copied.itemProviders({}), at24);
    EXPECT_EQ(rich.properties(), copied.properties());
    EXPECT_EQ(rich.components(), copied.components());
    const Timecode text =
        Timecode::fromItemProviderForTimecodeString(textProvider("1 02:00:00:30"), at24);
    EXPECT_EQ(text.properties(), at24);
    EXPECT_EQ(text.components(), (Components{1, 2, 0, 0, 30, 0}));
    EXPECT_THROW(Timecode::fromItemProvidersForTimecodeString({}, at24), CoderValueNotFoundError);
}

TEST(TimecodeTransfer, FailsAsAMissingValue) {
    ItemProvider unreadable;
    unreadable.registerLoader(Timecode::textUTType(),
                              []() -> std::string { throw std::runtime_error("gone"); });
    ItemProvider other;
    other.registerData(UniformType::data(), "01:00:00:00");
    const std::vector<std::vector<ItemProvider>> cases{
        {}, {textProvider("one o'clock")}, {unreadable, textProvider("01:00:00:00")}, {other}};
    for (const auto &providers : cases) {
        EXPECT_THROW(Timecode::fromItemProviders(providers, at24), CoderValueNotFoundError);
    }
    EXPECT_EQ(CoderValueNotFoundError::code, 4865);
}

} // namespace
} // namespace timecode
