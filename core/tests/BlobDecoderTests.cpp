#include "core/database/BlobDecoder.h"
#include "core/database/PropertyListReader.h"
#include "tools/make-sample-library/KeyedArchiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel {
namespace {

using sample::KeyedArchiver;
using sample::PlistFormat;

PlistValue ref(uint64_t index) {
    return PlistValue::uid(index);
}
PlistValue cfRef(int64_t index) {
    return PlistValue::dictionary({{"CF$UID", PlistValue::integer(index)}});
}
PlistValue str(const char *text) {
    return PlistValue::string(text);
}
PlistValue archivedDict(PlistValue::Array keys, PlistValue::Array values) {
    return PlistValue::dictionary({{"NS.keys", PlistValue::array(std::move(keys))},
                                   {"NS.objects", PlistValue::array(std::move(values))}});
}
PlistValue archivedArray(PlistValue::Array values) {
    return PlistValue::dictionary({{"NS.objects", PlistValue::array(std::move(values))}});
}
const PlistValue null = PlistValue::string("$null");
const char *idA = "11111111-2222-4333-8444-555555555555";
const char *idB = "AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE";

// The same hand-made archive in each written form: binary with UID references, XML (where
// references are written as {"CF$UID": n}).
std::vector<Bytes> bothForms(const PlistValue::Array &objects) {
    return {KeyedArchiver::wrap(objects, PlistFormat::binary),
            KeyedArchiver::wrap(objects, PlistFormat::xml)};
}

TEST(BlobDecoder, ResolvesTheRootOneLevelInArchiveOrder) {
    // Root: name -> "Clip", meta -> archived dictionary {reel: "A001", list: archived array},
    // items -> archived array ["x", 5], broken -> index 999.
    const PlistValue::Array objects{
        null,
        archivedDict({ref(2), ref(4), ref(8), ref(11), ref(2)},
                     {ref(3), ref(5), ref(9), ref(999), ref(12)}),
        str("name"),
        str("Clip"),
        str("meta"),
        archivedDict({ref(6), ref(13)}, {ref(7), ref(10)}),
        str("reel"),
        str("A001"),
        str("items"),
        archivedArray({ref(3), ref(14), ref(999)}),
        archivedArray({ref(3)}),
        str("broken"),
        str("Clip 2"),
        str("list"),
        PlistValue::integer(5),
    };
    for (const Bytes &blob : bothForms(objects)) {
        const auto decoded = BlobDecoder::decode(blob);
        EXPECT_EQ(decoded.objectCount(), objects.size());
        EXPECT_EQ(decoded.rootKeys(),
                  (std::vector<std::string>{"name", "meta", "items", "broken", "name"}));
        // The same key twice: both are listed, the map holds the later value.
        EXPECT_EQ(decoded.string("name"), "Clip 2");
        const auto *meta = decoded.dictionary("meta");
        ASSERT_TRUE(meta);
        EXPECT_EQ(meta->at("reel"), str("A001"));
        // One level only: the array inside stays archived.
        EXPECT_TRUE(meta->at("list").find("NS.objects"));
        const auto *items = decoded.array("items");
        ASSERT_TRUE(items);
        EXPECT_EQ(*items, (PlistValue::Array{str("Clip"), PlistValue::integer(5)}));
        // An unusable value reference keeps its key with the null marker.
        EXPECT_TRUE(decoded.hasKey("broken"));
        EXPECT_TRUE(decoded.value("broken")->isNull());
        EXPECT_EQ(decoded.string("broken"), std::nullopt);
        EXPECT_FALSE(decoded.hasKey("missing"));
    }
}

TEST(BlobDecoder, PairsUpToTheShorterListAndDropsUnusableKeys) {
    const PlistValue::Array objects{
        null,
        archivedDict({ref(2), ref(4), ref(99), cfRef(2), ref(5)}, {ref(3), ref(3), ref(3), ref(4)}),
        str("a"),
        str("value"),
        PlistValue::integer(7),
        str("unpaired"),
    };
    for (const Bytes &blob : bothForms(objects)) {
        const auto decoded = BlobDecoder::decode(blob);
        // Key 7 (a number) and key index 99 are dropped; "unpaired" has no value.
        EXPECT_EQ(decoded.rootKeys(), (std::vector<std::string>{"a", "a"}));
        EXPECT_EQ(decoded.string("a"), std::nullopt); // the later pair: a -> 7
        EXPECT_EQ(decoded.integer("a"), 7);
    }
}

TEST(BlobDecoder, ReportsStructuralFaultsInOrder) {
    using Case = BlobDecoderError::Case;
    const auto top = [](PlistValue::Dictionary entries) {
        return sample::writePlist(PlistValue::dictionary(std::move(entries)));
    };
    const struct {
        const char *name;
        Bytes blob;
        Case expected;
    } cases[] = {
        {"top level is a list", sample::writePlist(PlistValue::array({})), Case::invalidPlist},
        {"no $objects", top({{"$top", PlistValue::integer(1)}}), Case::missingObjects},
        {"$objects not a list", top({{"$objects", str("x")}}), Case::missingObjects},
        {"only the null placeholder", KeyedArchiver::wrap({null}), Case::emptyBlob},
        {"root not a dictionary", KeyedArchiver::wrap({null, str("root")}), Case::invalidRoot},
        {"root without NS.objects",
         KeyedArchiver::wrap({null, PlistValue::dictionary({{"NS.keys", PlistValue::array({})}})}),
         Case::invalidRoot},
    };
    for (const auto &c : cases) {
        try {
            BlobDecoder::decode(c.blob);
            ADD_FAILURE() << c.name << ": decoded";
        } catch (const BlobDecoderError &error) {
            EXPECT_EQ(error.errorCase(), c.expected) << c.name;
        }
    }
    EXPECT_STREQ(BlobDecoderError(Case::emptyBlob).what(), "Blob has no objects");
    EXPECT_THROW(BlobDecoder::decode(Bytes{1, 2, 3}), PropertyListError);
    // The smallest archive: the placeholder and an empty root.
    const auto empty = BlobDecoder::decode(KeyedArchiver::wrap({null, archivedDict({}, {})}));
    EXPECT_TRUE(empty.rootKeys().empty());
    EXPECT_TRUE(empty.rootValues().empty());
}

TEST(BlobDecoder, GettersConvertOnlyExactly) {
    const PlistValue root = PlistValue::dictionary({
        {"real2", PlistValue::real(2.0)},
        {"real2.5", PlistValue::real(2.5)},
        {"int2", PlistValue::integer(2)},
        {"int1", PlistValue::integer(1)},
        {"true", PlistValue::boolean(true)},
        {"big", PlistValue::integer((int64_t{1} << 53) + 1)},
        {"huge", PlistValue::real(1e300)},
        {"text", str("1")},
        {"bytes", PlistValue::data({1, 2})},
    });
    const auto blob = BlobDecoder::decode(KeyedArchiver::archive(root));
    EXPECT_EQ(blob.integer("real2"), 2);
    EXPECT_EQ(blob.integer("real2.5"), std::nullopt);
    EXPECT_EQ(blob.integer("true"), 1);
    EXPECT_EQ(blob.integer("huge"), std::nullopt);
    EXPECT_EQ(blob.integer("text"), std::nullopt);
    EXPECT_EQ(blob.boolean("int2"), std::nullopt);
    EXPECT_EQ(blob.boolean("int1"), true);
    EXPECT_EQ(blob.boolean("real2"), std::nullopt);
    EXPECT_EQ(blob.real("int2"), 2.0);
    EXPECT_EQ(blob.real("big"), std::nullopt); // 2^53 + 1 has no exact double
    EXPECT_EQ(blob.real("true"), 1.0);
    EXPECT_EQ(blob.string("int1"), std::nullopt);
    ASSERT_TRUE(blob.data("bytes"));
    EXPECT_EQ(*blob.data("bytes"), (Bytes{1, 2}));
    EXPECT_EQ(blob.data("text"), nullptr);
    EXPECT_EQ(blob.dictionary("text"), nullptr);
}

TEST(BlobDecoder, ListsIdentifiersOnceInDepthFirstArchiveOrder) {
    // Root objects: [dict {key idB : value idA}, array [idA, idA, "short"], 36 chars with
    // 3 or 5 hyphens, a cycle back to the root].
    const PlistValue::Array objects{
        null,
        archivedArray({ref(2), ref(5), ref(6), ref(7), ref(8), ref(1), ref(99)}),
        archivedDict({ref(3)}, {ref(4)}),
        str(idB),
        str(idA),
        archivedArray({ref(4), ref(4), ref(9)}),
        str("11111111-2222-4333-844455555555555555"),
        str("11111111-2222-4333-8-444-55555555555"),
        archivedArray({ref(10)}),
        str("short"),
        str("CCCCCCCC-DDDD-4EEE-8FFF-000000000000"),
    };
    for (const Bytes &blob : bothForms(objects)) {
        EXPECT_EQ(BlobDecoder::orderedChildIdentifiers(blob),
                  (std::vector<std::string>{idA, idB, "CCCCCCCC-DDDD-4EEE-8FFF-000000000000"}));
    }
    EXPECT_TRUE(BlobDecoder::orderedChildIdentifiers(Bytes{0, 1}).empty());
    EXPECT_TRUE(
        BlobDecoder::orderedChildIdentifiers(KeyedArchiver::wrap({null, str("x")})).empty());
}

TEST(BlobDecoder, WalksLongReferenceChainsWithoutRecursion) {
    // 5000 archived arrays, each holding the next, and an identifier at the end.
    PlistValue::Array objects{null};
    for (uint64_t i = 1; i <= 5000; ++i) {
        objects.push_back(archivedArray({ref(i + 1)}));
    }
    objects.push_back(str(idA));
    EXPECT_EQ(BlobDecoder::orderedChildIdentifiers(KeyedArchiver::wrap(objects)),
              std::vector<std::string>{idA});
}

} // namespace
} // namespace tandrel
