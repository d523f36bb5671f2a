#include "core/database/AssetStore.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/EventDatabaseWriter.h"
#include "tools/make-sample-library/KeyedArchiver.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using namespace sample;
using testing::ScratchFolder;
using P = PlistValue;

Bytes assetBlob(P::Dictionary entries) {
    return KeyedArchiver::archive(P::dictionary(entries));
}

TEST(AssetStore, ReadsEachAssetWithItsDefaults) {
    ScratchFolder folder;
    const auto file = folder / "CurrentVersion.fcpevent";
    {
        EventDatabaseWriter db(file);
        const auto asset = [&](const char *id, P::Dictionary extra) {
            extra.emplace("mediaIdentifier", P::string(id));
            db.add({"FFAsset", id, std::nullopt, assetBlob(extra)});
        };
        asset("ntsc", {{"mediaRange", P::string("{3600/1,10/1}")},
                       {"timecodeFrameDuration", P::string("1001/24000")},
                       {"displayName", P::string("A.mov")},
                       {"timecodeDisplayDropFrame", P::integer(1)},
                       {"videoFormatName", P::string("1080p2398")},
                       {"hasVideo", P::boolean(true)},
                       {"audioSampleRate", P::integer(48000)}});
        asset("no rate", {{"mediaRange", P::string("{3600/1,10/1}")}});
        asset("no range", {{"timecodeFrameDuration", P::string("1001/24000")},
                           {"hasAudio", P::boolean(true)},
                           {"timecodeDisplayDropFrame", P::integer(0)}});
        asset("zero timescale", {{"mediaRange", P::string("{3600/1,10/1}")},
                                 {"timecodeFrameDuration", P::string("1/0")}});
        asset("unknown rate", {{"mediaRange", P::string("{1/1,1/1}")},
                               {"timecodeFrameDuration", P::string("1/23")}});
        asset("huge", {{"mediaRange", P::string("{9223372036854775807/1,1/1}")},
                       {"timecodeFrameDuration", P::string("1/25")},
                       {"hasVideo", P::string("yes")}});
        asset("twice", {{"displayName", P::string("first")}});
        asset("twice", {{"displayName", P::string("second")}});
        db.add({"FFAsset", "no identifier", std::nullopt,
                assetBlob({{"displayName", P::string("x")}})});
        db.add({"FFAsset", "undecodable", std::nullopt, Bytes{0, 1, 2}});
        db.add({"FFAsset", "no blob", std::nullopt, std::nullopt});
    }
    FCPDatabaseConnection db(file.string());
    AssetStore store;
    store.loadAssets(db);
    EXPECT_EQ(store.count(), 7u);

    const auto ntsc = store.resolve("ntsc");
    ASSERT_TRUE(ntsc);
    EXPECT_EQ(ntsc->fileName, "A.mov");
    EXPECT_EQ(ntsc->frameRate, FrameRate::fps23_976);
    EXPECT_EQ(ntsc->sourceStartFrames, 86314); // 3600 × 24000/1001 + 0.5, cut
    EXPECT_EQ(ntsc->durationFrames, 240);
    EXPECT_TRUE(ntsc->isDropFrame);
    EXPECT_EQ(ntsc->videoFormatName, "1080p2398");
    EXPECT_TRUE(ntsc->hasVideo);
    EXPECT_FALSE(ntsc->hasAudio);
    EXPECT_EQ(ntsc->audioSampleRate, 48000.0);

    const auto noRate = store.resolve("no rate");
    EXPECT_EQ(noRate->fileName, "Unknown");
    EXPECT_EQ(noRate->frameRate, std::nullopt);
    EXPECT_EQ(noRate->sourceStartFrames, 86400); // 24 fps assumed
    const auto noRange = store.resolve("no range");
    EXPECT_EQ(noRange->frameRate, std::nullopt);
    EXPECT_EQ(noRange->sourceStartFrames, 0);
    EXPECT_EQ(noRange->durationFrames, 0);
    EXPECT_FALSE(noRange->isDropFrame);
    EXPECT_TRUE(noRange->hasAudio);
    EXPECT_EQ(store.resolve("zero timescale")->frameRate, std::nullopt);
    EXPECT_EQ(store.resolve("unknown rate")->frameRate, std::nullopt);
    // A start beyond 64 bits of frames reads as missing; the load goes on.
    EXPECT_EQ(store.resolve("huge")->sourceStartFrames, 0);
    EXPECT_EQ(store.resolve("huge")->frameRate, FrameRate::fps25);
    EXPECT_FALSE(store.resolve("huge")->hasVideo);
    EXPECT_EQ(store.resolve("twice")->fileName, "second");
    EXPECT_EQ(store.resolve("no identifier"), std::nullopt);

    store.clear();
    EXPECT_EQ(store.count(), 0u);
    EXPECT_EQ(store.resolve("ntsc"), std::nullopt);
}

TEST(AssetStore, ParsesFractions) {
    const struct {
        const char *text;
        std::optional<std::pair<int64_t, int64_t>> expected;
    } cases[] = {
        {"1001/24000", std::pair<int64_t, int64_t>{1001, 24000}},
        {"1001//24000", std::pair<int64_t, int64_t>{1001, 24000}},
        {"/1/25/", std::pair<int64_t, int64_t>{1, 25}},
        {"+1/-2", std::pair<int64_t, int64_t>{1, -2}},
        {"100/2500/1", std::nullopt},
        {"24", std::nullopt},
        {"1/0", std::nullopt},
        {" 1/2", std::nullopt},
        {"1.5/2", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(AssetStore::parseFraction(c.text), c.expected) << c.text;
    }
}

TEST(AssetStore, LoadsTheMediaDatabasesAtTheTopOfALibrary) {
    ScratchFolder folder;
    const auto bundle = SampleLibraryWriter::write(standardSampleLibrary(), folder.path());
    const auto before = testing::snapshotFiles(folder.path());
    AssetStore store;
    store.loadAllAssets(bundle);
    // Day 1 only: the media of nested events are not searched.
    EXPECT_EQ(store.count(), 9u);
    const auto camera = store.resolve("MEDIA-A001C003-0001");
    ASSERT_TRUE(camera);
    EXPECT_EQ(camera->fileName, "A001C003_230512.mov");
    EXPECT_EQ(camera->sourceStartFrames, 86400);
    EXPECT_EQ(camera->frameRate, FrameRate::fps23_976);
    EXPECT_EQ(store.resolve("MEDIA-C003C002-0001"), std::nullopt);
    EXPECT_EQ(testing::snapshotFiles(folder.path()), before);
    EXPECT_THROW(store.loadAllAssets(folder / "missing.fcpbundle"),
                 std::filesystem::filesystem_error);
}

} // namespace
} // namespace tandrel
