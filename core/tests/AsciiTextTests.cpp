#include "core/support/AsciiText.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

TEST(AsciiText, LowerCasesOnlyAsciiLetters) {
    struct Case {
        std::string text;
        std::string lowered;
    };
    const Case cases[] = {
        {"", ""},
        {"Library.FCPBundle", "library.fcpbundle"},
        // The neighbours of A-Z stay: a shift by 32 past either end would change them.
        {"@AZ[`az{", "@az[`az{"},
        // UTF-8 bytes stay whole: "É" is not lowered byte by byte into something else.
        {"\xC3\x89T\xC3\x89", "\xC3\x89t\xC3\x89"},
        {std::string("A\0B", 3), std::string("a\0b", 3)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(asciiLowercased(c.text), c.lowered) << c.text;
    }
}

} // namespace
} // namespace tandrel
