#include "core/database/PropertyListCheck.h"
#include "core/database/PropertyListReader.h"
#include "tools/make-sample-library/PlistWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel {
namespace {

using sample::PlistFormat;
using sample::writePlist;

// A binary property list assembled object by object, for lists no writer produces. Objects
// are given encoded, with references of two bytes.
Bytes binaryList(const std::vector<Bytes> &objects, uint64_t top = 0) {
    Bytes out{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    std::vector<uint64_t> offsets;
    for (const Bytes &object : objects) {
        offsets.push_back(out.size());
        out.insert(out.end(), object.begin(), object.end());
    }
    const uint64_t table = out.size();
    for (uint64_t offset : offsets) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<uint8_t>(offset >> shift));
        }
    }
    Bytes trailer(32, 0);
    trailer[6] = 4; // offset size
    trailer[7] = 2; // reference size
    const uint64_t values[3] = {objects.size(), top, table};
    for (int v = 0; v < 3; ++v) {
        for (int i = 0; i < 8; ++i) {
            trailer[8 + 8 * v + i] = static_cast<uint8_t>(values[v] >> (56 - 8 * i));
        }
    }
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

// An array (or dictionary, with keys first) of two-byte references.
Bytes container(uint8_t type, const std::vector<uint16_t> &references) {
    const size_t count = type == 0xD ? references.size() / 2 : references.size();
    Bytes out;
    out.reserve(4 + 2 * references.size());
    if (count < 15) {
        out.push_back(static_cast<uint8_t>(type << 4 | count));
    } else {
        // The count as a two-byte integer object.
        out.push_back(static_cast<uint8_t>(type << 4 | 0xF));
        out.push_back(0x11);
        out.push_back(static_cast<uint8_t>(count >> 8));
        out.push_back(static_cast<uint8_t>(count));
    }
    for (uint16_t r : references) {
        out.push_back(static_cast<uint8_t>(r >> 8));
        out.push_back(static_cast<uint8_t>(r));
    }
    return out;
}

Bytes ascii(const std::string &text) {
    Bytes out(text.size() + 1);
    out[0] = static_cast<uint8_t>(0x50 | text.size());
    std::copy(text.begin(), text.end(), out.begin() + 1);
    return out;
}

// `levels` arrays, each holding the next; the innermost is empty.
Bytes nestedArrays(int levels) {
    std::vector<Bytes> objects;
    for (int i = 0; i < levels - 1; ++i) {
        objects.push_back(container(0xA, {static_cast<uint16_t>(i + 1)}));
    }
    objects.push_back(container(0xA, {}));
    return binaryList(objects);
}

std::string nestedXML(int levels) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    for (int i = 0; i < levels; ++i) {
        xml += "<array>";
    }
    for (int i = 0; i < levels; ++i) {
        xml += "</array>";
    }
    return xml + "</plist>";
}

Bytes bytesOf(const std::string &text) {
    return Bytes(text.begin(), text.end());
}

TEST(PropertyListReader, KeepsNumberKindsAndReferencesInBothFormats) {
    PlistValue::Dictionary entries{
        {"int", PlistValue::integer(-42)},
        {"big", PlistValue::integer(INT64_MAX)},
        {"real", PlistValue::real(2.5)},
        {"bool", PlistValue::boolean(true)},
        {"uid", PlistValue::uid(7)},
        {"data", PlistValue::data({0, 1, 2})},
        {"text", PlistValue::string("Grüße")},
        {"list", PlistValue::array({PlistValue::integer(1), PlistValue::string("x")})},
    };
    const PlistValue value = PlistValue::dictionary(entries);
    EXPECT_EQ(PropertyListReader::read(writePlist(value, PlistFormat::binary)), value);
    // XML has no reference type: references come back in their dictionary form.
    entries["uid"] = PlistValue::dictionary({{"CF$UID", PlistValue::integer(7)}});
    EXPECT_EQ(PropertyListReader::read(writePlist(value, PlistFormat::xml)),
              PlistValue::dictionary(entries));
}

// A library's name of megabytes is kept to its first MiB, cut where a character begins: every
// copy of it the host makes costs that much, no more.
TEST(PropertyListReader, KeepsATextToItsFirstMiB) {
    const std::string name = std::string(PropertyListReader::maxStringBytes - 1, 'n') + "\u00E9" +
                             std::string(2 << 20, 'x');
    const PlistValue value = PlistValue::dictionary({{"name", PlistValue::string(name)}});
    for (const PlistFormat format : {PlistFormat::binary, PlistFormat::xml}) {
        const PlistValue read = PropertyListReader::read(writePlist(value, format));
        const PlistValue *kept = read.find("name");
        ASSERT_NE(kept, nullptr);
        ASSERT_NE(kept->asString(), nullptr);
        EXPECT_EQ(*kept->asString(), std::string(PropertyListReader::maxStringBytes - 1, 'n'));
    }
    const std::string ordinary = "Wide Shot \u00E9";
    EXPECT_EQ(
        PropertyListReader::read(writePlist(PlistValue::string(ordinary), PlistFormat::binary)),
        PlistValue::string(ordinary));
}

TEST(PropertyListReader, RefusesWhatTheParserCannotTakeSafely) {
    std::vector<Bytes> cycle{container(0xA, {1}), container(0xA, {0})};
    // Twenty levels of arrays holding the next level twice expand into a million values.
    std::vector<Bytes> doubling;
    for (uint16_t i = 0; i < 20; ++i) {
        doubling.push_back(
            container(0xA, {static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i + 1)}));
    }
    doubling.push_back(ascii("leaf"));
    Bytes badOffset = binaryList({ascii("x")});
    badOffset[badOffset.size() - 32 - 1] = 0xFF; // the only offset points into the table
    struct Case {
        const char *name;
        Bytes data;
    };
    const Case cases[] = {
        {"nesting beyond the limit", nestedArrays(PropertyListCheck::maxDepth + 1)},
        {"reference cycle", binaryList(cycle)},
        {"self reference", binaryList({container(0xA, {0})})},
        {"exponential sharing", binaryList(doubling)},
        {"reference out of range", binaryList({container(0xA, {5})})},
        {"non-string key", binaryList({container(0xD, {1, 1}), Bytes{0x10, 0x05}})},
        {"UTF-16 key holding U+0000", binaryList({container(0xD, {1, 1}), Bytes{0x61, 0, 0}})},
        {"offset outside the objects", badOffset},
        {"top object out of range", binaryList({ascii("x")}, 3)},
        {"unknown object type", binaryList({Bytes{0x70}})},
        {"header only", bytesOf("bplist00")},
        {"XML nested beyond the limit", bytesOf(nestedXML(PropertyListCheck::maxDepth + 1))},
        // Closing tags inside a comment close nothing: after 100 of the 513 openings.
        {"XML closing tags hidden in comments",
         bytesOf(nestedXML(PropertyListCheck::maxDepth + 1)
                     .insert(60 + 100 * 7, "<!-- </array></array> -->"))},
        {"XML document type with internal subset",
         bytesOf("<!DOCTYPE plist [<!ENTITY a \"b\">]><plist><string>&a;</string></plist>")},
        {"not a property list", bytesOf("hello")},
        {"empty", Bytes{}},
    };
    for (const Case &c : cases) {
        EXPECT_THROW(PropertyListReader::read(c.data), PropertyListError) << c.name;
    }
}

TEST(PropertyListReader, AcceptsNestingUpToTheLimitAndSharedValues) {
    EXPECT_NO_THROW(PropertyListReader::read(nestedArrays(PropertyListCheck::maxDepth)));
    EXPECT_NO_THROW(PropertyListReader::read(bytesOf(nestedXML(PropertyListCheck::maxDepth))));
    // A string shared by a hundred references is fine.
    std::vector<uint16_t> refs(100, 1);
    const PlistValue list =
        PropertyListReader::read(binaryList({container(0xA, refs), ascii("s")}));
    ASSERT_TRUE(list.asArray());
    EXPECT_EQ(list.asArray()->size(), 100u);
}

TEST(PropertyListReader, NeverFailsOtherThanByErrorOnTruncatedData) {
    const Bytes whole = writePlist(PlistValue::dictionary(
        {{"$objects", PlistValue::array({PlistValue::string("$null"), PlistValue::uid(1)})}}));
    for (size_t length = 0; length < whole.size(); ++length) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THROW(PropertyListReader::read(cut), PropertyListError) << length;
    }
}

} // namespace
} // namespace tandrel
