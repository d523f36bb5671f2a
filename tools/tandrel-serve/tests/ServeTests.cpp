// Runs tandrel-serve on a copy of the sample library, as a user would, and reads its lines.

#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/EditorSaves.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-serve/tests/RunningProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

class Serve : public testing::RunningProgram {
public:
    Serve(const std::vector<std::string> &arguments, const fs::path &dataHome)
        : RunningProgram(TANDREL_SERVE, arguments, dataHome) {}
};

TandrelSnapshot readSnapshot(const fs::path &file) {
    std::ifstream in(file);
    return parseJsonText(std::string(std::istreambuf_iterator<char>(in), {}))
        .get<TandrelSnapshot>();
}

// The sample library with the "Sample" timeline's clip "Arrival" renamed.
sample::LibraryDescription sampleWithArrivalRenamed() {
    sample::LibraryDescription library = sample::standardSampleLibrary();
    for (sample::Event &event : library.events) {
        for (sample::Timeline &timeline : event.timelines) {
            for (sample::Clip &clip : timeline.spine) {
                if (timeline.name == "Sample" && clip.name == "Arrival") {
                    clip.name = "Arrival (retake)";
                }
            }
        }
    }
    return library;
}

bool showsClip(const TandrelSnapshot &snapshot, const std::string &name) {
    return std::any_of(
        snapshot.entries.begin(), snapshot.entries.end(),
        [&](const SnapshotEntry &entry) { return entry.metadata.sourceClipName == name; });
}

TEST(TandrelServe, ServesTheChosenTimelineAndRewritesItsSnapshotWhenTheLibraryIsSaved) {
    ScratchFolder folder;
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    ScratchFolder saved;
    const fs::path savedLibrary =
        sample::SampleLibraryWriter::write(sampleWithArrivalRenamed(), saved.path());
    const fs::path snapshot = folder / "data/Tandrel/current.json";
    Serve serve({"--timeline", "Sample", "--preset", "Conform", library.string()}, folder / "data");

    EXPECT_EQ(serve.lineStartingWith("status: "), "status: No libraries loaded");
    EXPECT_EQ(serve.lineStartingWith("snapshot: "),
              "snapshot: 'Sample' written to " + snapshot.string());
    EXPECT_EQ(serve.lineStartingWith("status: Serving"), "status: Serving 'Sample' (8 timelines)");
    const TandrelSnapshot first = readSnapshot(snapshot);
    EXPECT_EQ(first.timelineName, "Sample");
    EXPECT_EQ(first.displayConfig.name, "Conform");
    EXPECT_EQ(first.timelineStartTimecode, "10:00:00:00");
    EXPECT_EQ(first.timelineDropFrame, false);
    EXPECT_EQ(first.entries.size(), 20u);

    EXPECT_TRUE(showsClip(first, "Arrival"));

    // The editor saves the library with a clip renamed.
    sample::EditorSaves::renameInto(library / "Day 1/CurrentVersion.fcpevent",
                                    savedLibrary / "Day 1/CurrentVersion.fcpevent");
    EXPECT_EQ(serve.lineStartingWith("snapshot: "),
              "snapshot: 'Sample' written to " + snapshot.string());
    const TandrelSnapshot second = readSnapshot(snapshot);
    EXPECT_GT(second.updatedAt, first.updatedAt);
    EXPECT_EQ(second.entries.size(), 20u);
    EXPECT_TRUE(showsClip(second, "Arrival (retake)"));

    const int status = serve.stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << serve.seen;
    // The snapshot outlives the program, as the host's does.
    EXPECT_TRUE(fs::exists(snapshot));
}

TEST(TandrelServe, ASecondRunOnTheSameSettingsServesTheLibraryAndPresetOfTheFirst) {
    ScratchFolder folder;
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    const fs::path settings = folder / "host.ini";
    const fs::path snapshot = folder / "data/Tandrel/current.json";
    {
        Serve first({"--settings", settings.string(), "--timeline", "Sample", "--preset", "Conform",
                     library.string()},
                    folder / "data");
        EXPECT_EQ(first.lineStartingWith("status: Serving"),
                  "status: Serving 'Sample' (8 timelines)");
        const int status = first.stop(SIGTERM);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << first.seen;
    }
    fs::remove(snapshot);

    Serve second({"--settings", settings.string(), "--timeline", "Sample"}, folder / "data");
    EXPECT_EQ(second.lineStartingWith("snapshot: "),
              "snapshot: 'Sample' written to " + snapshot.string());
    const TandrelSnapshot served = readSnapshot(snapshot);
    EXPECT_EQ(served.libraryName, "Sample");
    EXPECT_EQ(served.displayConfig.name, "Conform");
    EXPECT_EQ(second.lineStartingWith("status: Serving"), "status: Serving 'Sample' (8 timelines)");
}

TEST(TandrelServe, RefusesWhatItCannotServe) {
    ScratchFolder folder;
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::largeSampleLibrary(2), folder.path());
    struct Case {
        std::vector<std::string> arguments;
        const char *message;
    };
    const Case cases[] = {
        {{}, "usage: tandrel-serve"},
        {{"--timeline"}, "usage: tandrel-serve"},
        {{"--verbose", library.string()}, "usage: tandrel-serve"},
        {{(folder / "missing.fcpbundle").string()}, "is not a library folder (.fcpbundle)"},
        {{folder.path().string()}, "is not a library folder (.fcpbundle)"},
        {{"--preset", "Nothing", library.string()},
         "no preset \"Nothing\"; there are:\n  Netflix QC Layout\n  Conform\n  Colorist"},
        // Without settings there is nothing to restore.
        {{"--timeline", "Sample"}, "usage: tandrel-serve"},
    };
    for (const Case &c : cases) {
        Serve serve(c.arguments, folder / "data");
        EXPECT_EQ(serve.exitStatus(), 2);
        const std::string output = serve.output();
        EXPECT_NE(output.find(c.message), std::string::npos) << output;
    }
}

} // namespace
} // namespace tandrel
