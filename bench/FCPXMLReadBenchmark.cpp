// Peak memory of a validation against a 100 MiB FCPXML export, as the host runs it (the file
// read, the timeline's sequence chosen and compared with its edit list), against two floors
// measured in the same run:
// - file_read: the file read whole into memory, as a reader that holds it needs;
// - expat_pass: one pass of a bare expat parser over the file in 1 MiB pieces, with no
//   handlers: the least any reader over expat needs.
// Each run happens in a child process of its own, whose peak resident memory above what it
// started with is the figure (counter peak_MiB, and peak_per_file against the file's size).
// Three exports of 100 MiB: an ordinary one (a library's event with many projects whose
// clips carry resources, markers, keywords, transforms and connected clips), one whose only
// storyline item has a name of 100 MiB, and one of millions of empty storyline items, which
// the reader refuses as too complex for its size (its peak shows that bound).

#include "core/support/RegularFile.h"
#include "core/tests/TemporaryFolder.h"
#include "core/validation/FCPXMLParser.h"
#include "core/validation/TimelineValidation.h"

#include <benchmark/benchmark.h>
#include <expat.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tandrel;

namespace {

constexpr uint64_t fileSize = uint64_t{100} << 20;
constexpr double mebibyte = 1 << 20;

// Written in pieces, so that the benchmark itself never holds a file.
class ExportWriter {
public:
    explicit ExportWriter(const fs::path &file) : out_(file, std::ios::binary) {}
    void operator()(const std::string &text) {
        out_ << text;
        written_ += text.size();
    }
    uint64_t written() const { return written_; }

private:
    std::ofstream out_;
    uint64_t written_ = 0;
};

// "r" and the number: the id of a resource.
std::string resource(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "r%d", n);
    return text;
}

std::string seconds(int64_t frames) {
    return std::to_string(frames * 1001) + "/24000s";
}

const char *const prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE fcpxml>\n\n"
                           "<fcpxml version=\"1.11\">\n";

// The clips of each project: what a real export carries about them, a few hundred bytes of
// resources and a kilobyte of storyline each.
struct Ordinary {
    static constexpr int clipsPerProject = 500;
    std::vector<EditEntry> firstProject;

    void write(ExportWriter &out) {
        out(prolog);
        out("    <resources>\n        <format id=\"r1\" name=\"FFVideoFormat1080p2398\" "
            "frameDuration=\"1001/24000s\" width=\"1920\" height=\"1080\" colorSpace=\"1-1-1 "
            "(Rec. 709)\"/>\n");
        const uint64_t resourceShare = fileSize * 3 / 10;
        int assets = 0;
        while (out.written() < resourceShare) {
            const std::string id = resource(assets + 2);
            const std::string name = clipName(assets);
            out("        <asset id=\"" + id + "\" name=\"" + name + "\" uid=\"" + uid(assets) +
                "\" start=\"" + seconds(86400 + assets) + "\" duration=\"" + seconds(4800) +
                "\" hasVideo=\"1\" format=\"r1\" hasAudio=\"1\" videoSources=\"1\" "
                "audioSources=\"1\" audioChannels=\"2\" audioRate=\"48000\">\n"
                "            <media-rep kind=\"original-media\" sig=\"" +
                uid(assets + 1) + "\" src=\"file:///Volumes/Media/Day%201/" + name +
                ".mov\"/>\n            <metadata>\n                <md "
                "key=\"com.apple.proapps.studio.reel\" value=\"A" +
                std::to_string(assets % 90 + 10) +
                "\"/>\n                <md key=\"com.apple.proapps.studio.scene\" value=\"" +
                std::to_string(assets % 40) +
                "\"/>\n                <md key=\"com.apple.proapps.studio.shot\" value=\"" +
                std::to_string(assets % 7) + "\"/>\n            </metadata>\n        </asset>\n");
            ++assets;
        }
        out("    </resources>\n    <library location=\"file:///Users/editor/Movies/"
            "Sample.fcpbundle/\">\n        <event name=\"Day 1\" uid=\"" +
            uid(0) + "\">\n");
        int project = 0;
        while (out.written() < fileSize - 64 * 1024) {
            writeProject(out, project++, assets);
        }
        out("        </event>\n    </library>\n</fcpxml>\n");
    }

    static std::string clipName(int n) {
        char text[32];
        std::snprintf(text, sizeof text, "A%03dC%02d_230512_R1AB", n % 900 + 100, n % 37 + 10);
        return text;
    }

    static std::string uid(int n) {
        char text[33];
        std::snprintf(text, sizeof text, "%08X%08X%08X%08X", n * 2654435761u, n ^ 0x5bd1e995u,
                      n * 40503u, ~n);
        return text;
    }

    void writeProject(ExportWriter &out, int project, int assets) {
        out("            <project name=\"Reel " + std::to_string(project + 1) + "\" uid=\"" +
            uid(project) +
            "\" modDate=\"2023-05-12 18:45:00 +0200\">\n"
            "                <sequence format=\"r1\" duration=\"" +
            seconds(clipsPerProject * 96) + "\" tcStart=\"" + seconds(86400) +
            "\" tcFormat=\"NDF\" audioLayout=\"stereo\" audioRate=\"48k\">\n"
            "                    <spine>\n");
        for (int clip = 0; clip < clipsPerProject; ++clip) {
            const int asset = (project * clipsPerProject + clip) % assets;
            const int64_t offset = 86400 + int64_t{clip} * 96;
            const std::string name = clipName(asset);
            if (clip % 50 == 49) {
                out("                        <transition name=\"Cross Dissolve\" offset=\"" +
                    seconds(offset - 12) + "\" duration=\"" + seconds(24) +
                    "\">\n                            <filter-video ref=\"r1\" name=\"Cross "
                    "Dissolve\"/>\n                        </transition>\n");
            }
            out("                        <asset-clip ref=\"" + resource(asset + 2) +
                "\" offset=\"" + seconds(offset) + "\" name=\"" + name + "\" start=\"" +
                seconds(86400 + asset + clip) + "\" duration=\"" + seconds(96) +
                "\" format=\"r1\" tcFormat=\"NDF\" audioRole=\"dialogue\">\n"
                "                            <conform-rate scaleEnabled=\"0\"/>\n"
                "                            <adjust-transform position=\"12.5 -3.25\" "
                "scale=\"1.1 1.1\"/>\n"
                "                            <marker start=\"" +
                seconds(86400 + asset + clip + 10) +
                "\" duration=\"1001/24000s\" value=\"Check focus on the second line\"/>\n"
                "                            <keyword start=\"" +
                seconds(86400 + asset + clip) + "\" duration=\"" + seconds(96) +
                "\" value=\"Interview, Wide\"/>\n"
                "                            <asset-clip ref=\"" +
                resource((asset + 1) % assets + 2) + "\" lane=\"-1\" offset=\"" +
                seconds(86400 + asset + clip + 4) + "\" name=\"" + clipName(asset + 1) +
                "\" duration=\"" + seconds(48) +
                "\" audioRole=\"music\"/>\n"
                "                        </asset-clip>\n");
            if (project == 0) {
                EditEntry entry;
                entry.clipName = name;
                entry.timelineIn = static_cast<double>(clip * 96) * 1001 / 24000;
                entry.timelineOut = static_cast<double>(clip * 96 + 96) * 1001 / 24000;
                entry.sourceIn = static_cast<double>(86400 + asset + clip) * 1001 / 24000;
                firstProject.push_back(std::move(entry));
            }
        }
        out("                    </spine>\n                </sequence>\n            </project>\n");
    }
};

// One storyline item whose name fills the file.
void writeOneName(ExportWriter &out) {
    out(prolog);
    out("<resources><format id=\"r1\" frameDuration=\"1001/24000s\"/></resources>"
        "<library><event name=\"Day 1\"><project name=\"Reel 1\"><sequence format=\"r1\" "
        "tcStart=\"" +
        seconds(86400) + "\"><spine><asset-clip offset=\"" + seconds(86400) + "\" duration=\"" +
        seconds(96) + "\" name=\"");
    const std::string piece(1 << 20, 'N');
    while (out.written() < fileSize - (1 << 20)) {
        out(piece);
    }
    out("\"/></spine></sequence></project></event></library></fcpxml>\n");
}

// Millions of storyline items of four bytes each.
void writeEmptyItems(ExportWriter &out) {
    out(prolog);
    out("<library><event name=\"Day 1\"><project name=\"Reel 1\"><sequence><spine>");
    std::string piece;
    for (int i = 0; i < (1 << 18); ++i) {
        piece += "<a/>";
    }
    while (out.written() < fileSize - (1 << 20)) {
        out(piece);
    }
    out("</spine></sequence></project></event></library></fcpxml>\n");
}

struct Exports {
    testing::TemporaryFolder folder;
    std::map<std::string, fs::path> files;
    std::vector<EditEntry> entries;

    Exports() {
        Ordinary ordinary;
        write("ordinary", [&](ExportWriter &out) { ordinary.write(out); });
        entries = std::move(ordinary.firstProject);
        write("one_name", writeOneName);
        write("empty_items", writeEmptyItems);
    }
    void write(const std::string &shape, const std::function<void(ExportWriter &)> &writer) {
        const fs::path file = folder.path() / (shape + ".fcpxml");
        ExportWriter out(file);
        writer(out);
        files[shape] = file;
    }
};

Exports &exports() {
    static Exports made;
    return made;
}

// A line of /proc/self/status in kB.
long statusKilobytes(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::strtol(line.c_str() + std::strlen(field) + 1, nullptr, 10);
        }
    }
    return -1;
}

// The peak resident memory, in bytes, that `work` adds in a child process of its own.
double peakMemoryOf(const std::function<void()> &work) {
    int channel[2];
    if (::pipe(channel) != 0) {
        std::abort();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        // The high-water mark starts again from what the child holds now.
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKilobytes("VmRSS:");
        work();
        const double peak = static_cast<double>(statusKilobytes("VmHWM:") - before) * 1024;
        const ssize_t written = ::write(channel[1], &peak, sizeof peak);
        ::_exit(written == sizeof peak ? 0 : 1);
    }
    ::close(channel[1]);
    double peak = -1;
    const ssize_t read = ::read(channel[0], &peak, sizeof peak);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return read == sizeof peak && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? peak : -1;
}

void measure(benchmark::State &state, const std::string &shape,
             const std::function<void(const fs::path &)> &work) {
    const fs::path &file = exports().files.at(shape);
    double peak = 0;
    for (auto _ : state) {
        peak = peakMemoryOf([&] { work(file); });
    }
    if (peak < 0) {
        state.SkipWithError("the measuring child failed");
        return;
    }
    const double size = static_cast<double>(fs::file_size(file));
    state.counters["peak_MiB"] = peak / mebibyte;
    state.counters["file_MiB"] = size / mebibyte;
    state.counters["peak_per_file"] = peak / size;
}

// What the host does once it holds the timeline's edit list.
void validate(const fs::path &file) {
    try {
        const auto report = TimelineValidation::againstFCPXML(file, "Reel 1", exports().entries);
        benchmark::DoNotOptimize(report.comparedPairs);
    } catch (const std::exception &error) {
        // The export of empty items is refused: its peak is what the refusal took.
        benchmark::DoNotOptimize(error.what());
    }
}

void readWhole(const fs::path &file) {
    const RegularFileRead read = readRegularFile(file, FCPXMLParser::maximumFileSize);
    benchmark::DoNotOptimize(read.bytes.data());
}

void expatPass(const fs::path &file) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    RegularFileStream stream(file, FCPXMLParser::maximumFileSize);
    bool last = false;
    while (!last) {
        void *buffer = XML_GetBuffer(parser, 1 << 20);
        const size_t length = stream.read({static_cast<char *>(buffer), size_t{1} << 20});
        last = length == 0;
        if (XML_ParseBuffer(parser, static_cast<int>(length), last) != XML_STATUS_OK) {
            break;
        }
    }
    XML_ParserFree(parser);
}

void registerShape(const std::string &shape) {
    const auto add = [&](const std::string &peer, void (*work)(const fs::path &)) {
        benchmark::RegisterBenchmark(
            (shape + "_100MiB/" + peer).c_str(),
            [shape, work](benchmark::State &state) { measure(state, shape, work); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    };
    add("ours", validate);
    add("file_read", readWhole);
    add("expat_pass", expatPass);
}

const bool registered = [] {
    for (const char *shape : {"ordinary", "one_name", "empty_items"}) {
        registerShape(shape);
    }
    return true;
}();

} // namespace
