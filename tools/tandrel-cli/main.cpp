// tandrel-cli: the core library from the command line.
//   tandrel-cli scan LIBRARY
//       the events and timelines a scan of the library finds
//   tandrel-cli edl LIBRARY TIMELINE
//       the timeline's resolved edit decision list with its display segments, as JSON
//   tandrel-cli snapshot LIBRARY TIMELINE [--preset NAME]
//       resolves the timeline and writes the snapshot file as the host does, with the
//       built-in preset NAME (the first built-in preset when none is named)
// TIMELINE is a timeline id (as `scan` lists them) or a timeline name.

#include "core/database/LibraryScanner.h"
#include "core/model/BundledPresets.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/ApplicationSupport.h"
#include "tools/tandrel-cli/EditListJson.h"
#include "tools/tandrel-cli/TimelineSession.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

using namespace tandrel;

int usage() {
    std::fprintf(stderr, "usage: tandrel-cli scan LIBRARY\n"
                         "       tandrel-cli edl LIBRARY TIMELINE\n"
                         "       tandrel-cli snapshot LIBRARY TIMELINE [--preset NAME]\n");
    return 2;
}

// "1 edit", "3 edits".
std::string counted(long long count, const char *noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

int scan(const char *path) {
    // The scan itself reports no failure: a path that is no folder just has no events.
    if (!std::filesystem::is_directory(path)) {
        std::fprintf(stderr, "tandrel-cli: %s is not a library folder\n", path);
        return 1;
    }
    const FCPLibrary library = LibraryScanner::scan(path);
    std::printf("Library \"%s\" (%s): %s\n", library.name.c_str(), library.url.c_str(),
                counted(library.events.size(), "event").c_str());
    for (const auto &event : library.events) {
        std::printf("\nEvent \"%s\" [%s]: %s\n  database %s\n", event.name.c_str(),
                    event.path.c_str(), counted(event.timelines.size(), "timeline").c_str(),
                    event.databaseURL.c_str());
        for (const auto &timeline : event.timelines) {
            std::printf("  - \"%s\": %s, id %s\n", timeline.name.c_str(),
                        counted(timeline.editCount, "edit").c_str(), timeline.id.c_str());
        }
    }
    return 0;
}

int edl(const char *library, const char *timeline) {
    cli::TimelineSession session(library, timeline);
    const auto list = session.resolver().getEDL(session.timeline().collectionPK);
    Json json;
    json["timeline"] = session.timeline().name;
    json["event"] = session.event().path;
    json["library"] = session.library().name;
    json.update(cli::editListJson(*list, [&](const std::string &databasePath) {
        return session.relativeDatabasePath(databasePath);
    }));
    std::printf("%s\n", json.dump(2).c_str());
    return 0;
}

DisplayConfig presetNamed(const std::optional<std::string> &name) {
    const auto presets = BundledPresets::factoryPresets();
    if (!name) {
        return presets.front();
    }
    std::string known;
    for (const DisplayConfig &preset : presets) {
        if (preset.name == *name) {
            return preset;
        }
        known += "\n  " + preset.name;
    }
    throw std::runtime_error("no built-in preset \"" + *name + "\"; there are:" + known);
}

int snapshot(const char *library, const char *timeline, const std::optional<std::string> &preset) {
    const DisplayConfig displayConfig = presetNamed(preset);
    cli::TimelineSession session(library, timeline);
    TimelineResolver &resolver = session.resolver();
    const int64_t key = session.timeline().collectionPK;

    TandrelSnapshot document;
    document.timelineID = session.timeline().id;
    document.timelineName = session.timeline().name;
    document.libraryName = session.library().name;
    const auto start = resolver.projectTimecodeInfo(key);
    document.timelineStartTimecode =
        (start ? start->startTimecodeString() : std::nullopt).value_or("00:00:00:00");
    document.timelineDropFrame = resolver.timelineDropFrame(key);
    document.updatedAt =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    for (const EditEntry &entry : resolver.getEDL(key)->entries()) {
        for (SnapshotEntry &converted : SnapshotWriter::snapshotEntries(entry)) {
            document.entries.push_back(std::move(converted));
        }
    }
    document.displayConfig = displayConfig;
    SnapshotWriter::write(document);
    std::printf("Wrote \"%s\" (%zu entries, preset \"%s\") to %s\n", document.timelineName.c_str(),
                document.entries.size(), document.displayConfig.name.c_str(),
                (applicationSupportDirectory() / "Tandrel" / "current.json").c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (argc == 3 && command == "scan") {
            return scan(argv[2]);
        }
        if (argc == 4 && command == "edl") {
            return edl(argv[2], argv[3]);
        }
        if (command == "snapshot" &&
            (argc == 4 || (argc == 6 && std::string(argv[4]) == "--preset"))) {
            return snapshot(argv[2], argv[3],
                            argc == 6 ? std::optional<std::string>(argv[5]) : std::nullopt);
        }
        return usage();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tandrel-cli: %s\n", error.what());
        return 1;
    }
}
