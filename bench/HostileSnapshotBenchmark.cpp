// The road of a library named by an attacker to the editor's first frame: the snapshot the
// host's writer makes of a timeline (through tandrel-cli snapshot, the host's conversion and
// writer), and the plug-in's first frame of it (tandrel-fxhost: the module loaded, the
// snapshot read and parsed, one frame drawn with "Conform" and written), against the same
// timeline of the ordinary sample library in the same run. Cases:
// - sample_timeline: the sample's "Sample", every clip of it named from the table of hostile
//   texts (and the timeline, its event and library);
// - megabyte_name: the project the hostile library names with the table's 10 MiB text.
// Each iteration is one process, timed whole; the counter snapshot_bytes is the file the
// plug-in reads, whose cap is 50 MiB.

#include "core/database/LibraryScanner.h"
#include "core/tests/HostileTexts.h"
#include "tools/make-sample-library/HostileLibrary.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/testing/ChildProcess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tandrel;
namespace fs = std::filesystem;

// One snapshot, written into a data folder of its own.
struct Written {
    fs::path dataHome;
    std::uintmax_t bytes = 0;
};

// A folder of the run's own, removed when the program ends.
fs::path scratch() {
    struct Folder {
        Folder() {
            std::string made = (fs::temp_directory_path() / "tandrel-bench-XXXXXX").string();
            if (mkdtemp(made.data()) == nullptr) {
                throw std::runtime_error("no temporary folder");
            }
            path = made;
        }
        ~Folder() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
        fs::path path;
    };
    static const Folder folder;
    return folder.path;
}

std::string timelineID(const fs::path &library, const std::string &name) {
    for (const FCPEvent &event : LibraryScanner::scan(library).events) {
        for (const FCPTimelineInfo &timeline : event.timelines) {
            if (timeline.name == name) {
                return timeline.id;
            }
        }
    }
    throw std::runtime_error("no timeline of that name");
}

// The id of the same timeline in the hostile library: its database's folders named as the
// hostile library names them, the same row.
std::string hostileID(const std::string &ordinaryID, const fs::path &ordinary,
                      const fs::path &hostile, const sample::HostileNaming &naming) {
    const std::size_t hash = ordinaryID.rfind('#');
    const fs::path database = fs::path(ordinaryID.substr(0, hash)).lexically_relative(ordinary);
    fs::path mapped = hostile;
    for (const fs::path &part : database) {
        const auto renamed = naming.folders.find(part.string());
        mapped /= renamed == naming.folders.end() ? part : fs::path(renamed->second);
    }
    return mapped.string() + ordinaryID.substr(hash);
}

Written snapshotOf(const fs::path &library, const std::string &id, const std::string &as) {
    const fs::path dataHome = scratch() / as;
    fs::create_directories(dataHome);
    const std::vector<std::string> environment{"XDG_DATA_HOME=" + dataHome.string()};
    const testing::ChildProcess run = testing::ChildProcess::run(
        TANDREL_CLI, {"snapshot", library.string(), id, "--preset", "Conform"}, &environment);
    if (run.status != 0) {
        throw std::runtime_error("tandrel-cli snapshot failed: " + run.output.substr(0, 300));
    }
    return {dataHome, fs::file_size(dataHome / "Tandrel/current.json")};
}

struct Case {
    Written ordinary;
    Written hostile;
};

const std::map<std::string, Case> &cases() {
    static const std::map<std::string, Case> made = [] {
        std::vector<std::string> texts;
        for (const auto &hostile : testing::hostileTexts()) {
            texts.push_back(hostile.text);
        }
        sample::HostileNaming naming;
        const fs::path hostile = sample::SampleLibraryWriter::write(
            sample::hostileSampleLibrary(texts, &naming), (scratch() / "hostile").string());
        const fs::path ordinary = sample::SampleLibraryWriter::write(
            sample::standardSampleLibrary(), (scratch() / "ordinary").string());
        std::string megabyteNamed;
        for (const auto &[original, text] : naming.names) {
            if (text.size() > 1'000'000) {
                megabyteNamed = original;
            }
        }
        std::map<std::string, Case> all;
        for (const auto &[name, original] :
             {std::pair<std::string, std::string>{"sample_timeline", "Sample"},
              {"megabyte_name", megabyteNamed}}) {
            const std::string id = timelineID(ordinary, original);
            all[name] = {
                snapshotOf(ordinary, id, "ordinary-" + name),
                snapshotOf(hostile, hostileID(id, ordinary, hostile, naming), "hostile-" + name)};
        }
        return all;
    }();
    return made;
}

// The editor's first frame of the snapshot: at 10:00:02:10, a clip of every timeline here.
void firstFrame(benchmark::State &state, const std::string &name, bool hostile) {
    const Written &written = hostile ? cases().at(name).hostile : cases().at(name).ordinary;
    const std::vector<std::string> environment{"XDG_DATA_HOME=" + written.dataHome.string()};
    const fs::path frames = written.dataHome / "frames";
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const testing::ChildProcess run = testing::ChildProcess::run(
            TANDREL_FXHOST, {"--out", frames.string(), "--times", "10:00:02:10+1", "--quiet"},
            &environment);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        if (run.status != 0) {
            state.SkipWithError("tandrel-fxhost failed");
        }
    }
    state.counters["snapshot_bytes"] = static_cast<double>(written.bytes);
}

const bool registered = [] {
    for (const char *name : {"sample_timeline", "megabyte_name"}) {
        benchmark::RegisterBenchmark((std::string(name) + "/ours").c_str(), firstFrame,
                                     std::string(name), true)
            ->UseManualTime()
            ->Iterations(10)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(name) + "/ordinary").c_str(), firstFrame,
                                     std::string(name), false)
            ->UseManualTime()
            ->Iterations(10)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
