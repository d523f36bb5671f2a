#include "core/snapshot/SnapshotEncoder.h"

#include "core/support/JsonText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace tandrel {
namespace {

SnapshotEntry entryNamed(const std::string &name, int64_t at) {
    SnapshotEntry entry;
    entry.tlStart = {at * 240000, 240000};
    entry.tlEnd = {(at + 1) * 240000, 240000};
    entry.srcStartFrame = 86400 + at * 24;
    entry.srcSpeed = 1.0;
    entry.srcRate = "23.976";
    entry.srcFpsNum = 24000;
    entry.srcFpsDen = 1001;
    entry.metadata.sourceClipName = name;
    entry.metadata.frameRate = 24000.0 / 1001;
    return entry;
}

TandrelSnapshot timeline(const std::string &prefix, int entries) {
    TandrelSnapshot document;
    document.timelineID = "/Library.fcpbundle/Day 1/CurrentVersion.fcpevent#42";
    document.timelineName = "Large";
    document.libraryName = "Library";
    document.timelineStartTimecode = "01:00:00:00";
    document.updatedAt = 1767225600.25;
    for (int i = 0; i < entries; ++i) {
        std::string name = prefix;
        name.append(std::to_string(i + 1));
        document.entries.push_back(entryNamed(name, i));
    }
    return document;
}

// Each document of a run of saves is written as the JSON library writes it whole, and only the
// entries that changed are encoded again.
TEST(SnapshotEncoder, WritesEachDocumentAsAWholeEncodingWouldEncodingOnlyChangedEntries) {
    struct Step {
        const char *what;
        std::function<void(TandrelSnapshot &)> change;
        size_t encodedAnew;
    };
    const std::vector<Step> steps{
        {"the first document", [](TandrelSnapshot &) {}, 40},
        {"only a later date", [](TandrelSnapshot &d) { d.updatedAt += 1; }, 0},
        {"one clip renamed",
         [](TandrelSnapshot &d) { d.entries[5].metadata.sourceClipName = "Shot 6 (retake)"; }, 1},
        {"a clip inserted",
         [](TandrelSnapshot &d) {
             d.entries.insert(d.entries.begin() + 10, entryNamed("Insert", 10));
         },
         1},
        {"three clips taken out",
         [](TandrelSnapshot &d) {
             d.entries.erase(d.entries.begin() + 20, d.entries.begin() + 23);
         },
         0},
        {"the first and last clips changed",
         [](TandrelSnapshot &d) {
             d.entries.front().srcSpeed = -1;
             d.entries.back().metadata.notes = "n\u00e9e \"quoted\"";
         },
         2},
        {"texts that are no UTF-8 and a preset of its own",
         [](TandrelSnapshot &d) {
             d.entries[1].metadata.reelName = std::string("A\xff\xfe");
             d.displayConfig.name = "QC \"night\"";
             d.timelineDropFrame = true;
         },
         1},
        {"all entries moved", [](TandrelSnapshot &d) { d = timeline("Other ", 40); }, 40},
        {"no entries", [](TandrelSnapshot &d) { d.entries.clear(); }, 0},
        {"entries again", [](TandrelSnapshot &d) { d = timeline("Shot ", 3); }, 3},
    };
    SnapshotEncoder encoder;
    TandrelSnapshot document = timeline("Shot ", 40);
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        step.change(document);
        EXPECT_EQ(encoder.encode(document), encodeJsonText(Json(document)));
        EXPECT_EQ(encoder.lastEncodedEntries(), step.encodedAnew);
    }
}

TEST(SnapshotEncoder, FailsAsTheWholeEncodingFailsAndEncodesRightlyAfter) {
    SnapshotEncoder encoder;
    TandrelSnapshot document = timeline("Shot ", 12);
    encoder.encode(document);
    document.entries[7].srcSpeed = std::nan("");
    std::string expected;
    try {
        (void)encodeJsonText(Json(document));
    } catch (const EncodingError &error) {
        expected = error.what() + std::string(" at ") + error.codingPath();
    }
    ASSERT_FALSE(expected.empty());
    try {
        (void)encoder.encode(document);
        ADD_FAILURE() << "encoded a non-finite number";
    } catch (const EncodingError &error) {
        EXPECT_EQ(error.what() + std::string(" at ") + error.codingPath(), expected);
    }
    document.entries[7].srcSpeed = 2;
    EXPECT_EQ(encoder.encode(document), encodeJsonText(Json(document)));
}

} // namespace
} // namespace tandrel
