#include "core/database/DecodedBlobCache.h"

#include "tools/make-sample-library/KeyedArchiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel {
namespace {

using sample::KeyedArchiver;
using sample::PlistFormat;

// An archive whose root holds one key, "name", with the given text; texts of one length give
// archives of one length that differ in those bytes only.
Bytes archiveNamed(const std::string &name) {
    const PlistValue::Array objects{
        PlistValue::string("$null"),
        PlistValue::dictionary({{"NS.keys", PlistValue::array({PlistValue::uid(2)})},
                                {"NS.objects", PlistValue::array({PlistValue::uid(3)})}}),
        PlistValue::string("name"),
        PlistValue::string(name),
    };
    return KeyedArchiver::wrap(objects, PlistFormat::binary);
}

std::optional<std::string> nameIn(const std::shared_ptr<const BlobDecoder::DecodedBlob> &blob) {
    return blob ? blob->string("name") : std::nullopt;
}

// Every hash the same: only the bytes themselves tell blobs apart.
DecodedBlobCache collidingCache() {
    return DecodedBlobCache([](std::string_view) { return uint64_t{7}; });
}

TEST(DecodedBlobCache, ServesAKeptDecodeOnlyForTheSameBytes) {
    DecodedBlobCache cache = collidingCache();
    const Bytes first = archiveNamed("Shot 1");
    const Bytes second = archiveNamed("Shot 2");
    ASSERT_EQ(first.size(), second.size());

    const auto decodedFirst = cache.decode(first);
    EXPECT_EQ(nameIn(decodedFirst), "Shot 1");
    EXPECT_EQ(nameIn(cache.decode(second)), "Shot 2");
    // The same bytes again, in a buffer of their own: the kept decode.
    const Bytes firstAgain = first;
    EXPECT_EQ(cache.decode(firstAgain), decodedFirst);
    EXPECT_EQ(cache.hits(), 1u);

    // Bytes changed where they were read before (a clip renamed in place): never the decode
    // of the bytes that were there.
    const DecodedBlobCache::Place place{cache.sourceOf("CurrentVersion.fcpevent"), 12};
    EXPECT_EQ(nameIn(cache.decode(first, place)), "Shot 1");
    EXPECT_EQ(nameIn(cache.decode(second, place)), "Shot 2");
    EXPECT_EQ(nameIn(cache.decode(archiveNamed("Shot 3"), place)), "Shot 3");
    EXPECT_EQ(cache.decode(first, place), decodedFirst);

    // What another decoder made of the same bytes is no decode of them.
    const auto identifiers = cache.decode(first, &BlobDecoder::orderedChildIdentifiers);
    EXPECT_TRUE(identifiers->empty());
    EXPECT_EQ(cache.decode(first), decodedFirst);
}

TEST(DecodedBlobCache, KeepsAFailureAndNoMoreThanItsNamesakesOfOneHash) {
    DecodedBlobCache cache = collidingCache();
    const Bytes notAnArchive{'n', 'o', 'p', 'e'};
    EXPECT_EQ(cache.decode(notAnArchive), nullptr);
    EXPECT_EQ(cache.decode(notAnArchive), nullptr);
    EXPECT_EQ(cache.hits(), 1u);

    // Beyond the namesakes kept, bytes are decoded each time, and still rightly.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 8; ++i) {
            const std::string name = "Shot " + std::to_string(i);
            EXPECT_EQ(nameIn(cache.decode(archiveNamed(name))), name);
        }
    }
    EXPECT_EQ(cache.size(), DecodedBlobCache::maxNamesakes);
}

TEST(DecodedBlobCache, LetsGoOfWhatTheLastReadingDidNotUse) {
    DecodedBlobCache cache;
    const Bytes a = archiveNamed("A");
    const Bytes b = archiveNamed("B");
    const auto place = DecodedBlobCache::Place{cache.sourceOf("db"), 1};

    cache.beginReading();
    const auto keptA = cache.decode(a, place);
    cache.decode(b);
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.keptBytes(), a.size() + b.size());

    cache.beginReading(); // a reading that uses A only
    EXPECT_EQ(cache.decode(a, place), keptA);
    cache.beginReading(); // B was not used by the last reading
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_EQ(cache.keptBytes(), a.size());
    EXPECT_EQ(cache.decode(a, place), keptA);

    cache.beginReading();
    cache.beginReading(); // a reading that used nothing
    EXPECT_EQ(cache.size(), 0u);
    // A decode handed out outlives the cache's hold on it.
    EXPECT_EQ(nameIn(keptA), "A");
    EXPECT_NE(cache.decode(a, place), keptA);
}

} // namespace
} // namespace tandrel
