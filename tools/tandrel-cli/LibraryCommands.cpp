#include "tools/tandrel-cli/LibraryCommands.h"

#include "core/snapshot/SnapshotWriter.h"
#include "core/support/ApplicationSupport.h"
#include "core/support/JsonText.h"
#include "core/support/UnicodeText.h"
#include "tools/tandrel-cli/EditListJson.h"
#include "tools/tandrel-cli/LibraryLookup.h"
#include "tools/tandrel-cli/TimelineSession.h"

#include <chrono>
#include <cstdio>

namespace tandrel::cli {

namespace {

// "1 edit", "3 edits"; "1 entry", "2 entries".
std::string counted(long long count, const char *noun, const char *plural = nullptr) {
    if (count == 1) {
        return "1 " + std::string(noun);
    }
    return std::to_string(count) + " " + (plural ? plural : std::string(noun) + "s");
}

} // namespace

int scanCommand(const Arguments &arguments) {
    const FCPLibrary library = scanLibrary(arguments.operands.at(0));
    // Names come from the library: each stays on its line, whatever it holds, and to a line's
    // length, however long it is.
    const auto shown = [](const std::string &text) { return shownLine(text, shownNameCharacters); };
    std::printf("Library \"%s\" (%s): %s\n", shown(library.name).c_str(),
                shown(library.url).c_str(),
                counted(static_cast<long long>(library.events.size()), "event").c_str());
    for (const auto &event : library.events) {
        std::printf("\nEvent \"%s\" [%s]: %s\n  database %s\n", shown(event.name).c_str(),
                    shown(event.path).c_str(),
                    counted(static_cast<long long>(event.timelines.size()), "timeline").c_str(),
                    shown(event.databaseURL).c_str());
        for (const auto &timeline : event.timelines) {
            std::printf("  - \"%s\": %s, id %s\n", shown(timeline.name).c_str(),
                        counted(timeline.editCount, "edit").c_str(), shown(timeline.id).c_str());
        }
    }
    std::printf("\nEdits are the items of a timeline's primary storyline, gaps and compound clips\n"
                "one each. \"edl\" resolves them into entries: gaps left out, compound clips\n"
                "opened into the clips they show.\n");
    return 0;
}

int edlCommand(const Arguments &arguments) {
    TimelineSession session(arguments.operands.at(0), arguments.operands.at(1));
    const auto list = session.resolver().getEDL(session.timeline().collectionPK);
    Json json;
    json["timeline"] = session.timeline().name;
    json["event"] = session.event().path;
    json["library"] = session.library().name;
    json["editCount"] = session.timeline().editCount;
    json.update(cli::editListJson(*list, [&](const std::string &databasePath) {
        return session.relativeDatabasePath(databasePath);
    }));
    // The library's names whole, as data; with every control a terminal would obey written as
    // an escape of JSON's own, which reads back to the same text, and bytes that are not UTF-8
    // as U+FFFD.
    std::printf("%s\n", encodeJsonTextForTerminal(json, 2).c_str());
    return 0;
}

int snapshotCommand(const Arguments &arguments) {
    const DisplayConfig displayConfig = builtInPreset(arguments.option("--preset"));
    TimelineSession session(arguments.operands.at(0), arguments.operands.at(1));
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
    const auto list = resolver.getEDL(key);
    for (const EditEntry &entry : list->entries()) {
        for (SnapshotEntry &converted : SnapshotWriter::snapshotEntries(entry)) {
            document.entries.push_back(std::move(converted));
        }
    }
    document.displayConfig = displayConfig;
    SnapshotWriter::write(document);
    std::printf("Wrote \"%s\" with preset \"%s\" to %s: %s of the edit list as %s, one per "
                "stretch over which the connected clips stay the same\n",
                shownLine(document.timelineName, shownNameCharacters).c_str(),
                shownLine(document.displayConfig.name, shownNameCharacters).c_str(),
                withControlsShown(SnapshotWriter::legacySnapshotURL().string()).c_str(),
                counted(static_cast<long long>(list->count()), "entry", "entries").c_str(),
                counted(static_cast<long long>(document.entries.size()), "snapshot entry",
                        "snapshot entries")
                    .c_str());
    return 0;
}

} // namespace tandrel::cli
