#include "core/support/Base64.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(Base64, EncodesWithPaddingAndDecodesBack) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
        {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {std::string("\x00\xff\xfe", 3), "AP/+"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(base64Encoded(bytesOf(c.bytes)), c.text) << c.text;
        EXPECT_EQ(base64Decoded(c.text), bytesOf(c.bytes)) << c.text;
    }
}

TEST(Base64, DecodesOnlyTheWholeStandardForm) {
    for (const std::string_view text : {
             "Zg",           // padding missing
             "Zg=",          // padding short
             "Zh==",         // stray bits in the last character
             "Zm9v ",        // white space after
             " Zm9v",        // and before
             "Zm 9v",        // and inside
             "Zm9v=",        // padding where none belongs
             "Zm9vYg==Zg==", // text after the padding
             "Zm-_",         // the URL-safe alphabet
         }) {
        EXPECT_EQ(base64Decoded(text), std::nullopt) << text;
    }
}

} // namespace
} // namespace tandrel
