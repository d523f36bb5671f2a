#include "tools/tandrel-cli/LibraryLookup.h"

#include "core/database/DatabaseFileState.h"
#include "core/database/LibraryScanner.h"
#include "core/model/BundledPresets.h"
#include "core/support/AsciiText.h"
#include "core/support/UnicodeText.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace tandrel::cli {

namespace {

constexpr std::string_view libraryExtension = ".fcpbundle";

// The pieces one after another (appended: GCC 12 warns falsely on chains of + here).
std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

// Names come from libraries, folders and the command line: the quoted text keeps to its
// line and its quotes, whatever it holds, and to a line's length, however long it is.
std::string inQuotes(std::string_view text) {
    return joined({"\"", shownLine(text, shownNameCharacters), "\""});
}

// A path as a message quotes it: whatever it holds, on the message's line.
std::string shownPath(const fs::path &path) {
    return withControlsShown(path.string());
}

bool isLibraryName(const fs::path &folder) {
    return asciiLowercased(folder.extension().string()) == libraryExtension;
}

// The libraries directly inside a folder, by name, sorted.
std::vector<std::string> librariesIn(const fs::path &folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (isLibraryName(it->path()) && it->is_directory(error)) {
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Those of `candidates` whose name is `wanted`, else those whose name is it ignoring case.
template <typename T>
std::vector<T> matching(const std::vector<T> &candidates, std::string_view wanted,
                        const std::function<std::string_view(const T &)> &name) {
    std::vector<T> found;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(found),
                 [&](const T &candidate) { return name(candidate) == wanted; });
    if (found.empty()) {
        std::copy_if(
            candidates.begin(), candidates.end(), std::back_inserter(found),
            [&](const T &candidate) { return equalIgnoringCase(name(candidate), wanted); });
    }
    return found;
}

std::string describe(const TimelineMatch &match) {
    return joined({"\n  ", inQuotes(match.timeline->name), " in event ",
                   inQuotes(match.event->path), ", id ", withControlsShown(match.timeline->id)});
}

} // namespace

FCPLibrary scanLibrary(const fs::path &path) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        throw std::runtime_error(joined({shownPath(path), " is no folder, so no library"}));
    }
    fs::path folder = fs::absolute(path, error).lexically_normal();
    if (!folder.has_filename()) {
        folder = folder.parent_path();
    }
    if (!isLibraryName(folder)) {
        std::string message =
            joined({shownPath(path), " is no library: a library is a folder whose name ends in ",
                    inQuotes(libraryExtension)});
        const auto inside = librariesIn(path);
        if (!inside.empty()) {
            message.append("; this folder holds");
            for (const std::string &name : inside) {
                message.append(" ").append(inQuotes(name));
            }
        }
        throw std::runtime_error(message);
    }
    // Scanned by its plain absolute path, so that timeline ids do not depend on how the
    // library was named.
    FCPLibrary library = LibraryScanner::scan(folder);
    if (library.events.empty()) {
        throw std::runtime_error(
            joined({shownPath(path), " is no library: it holds no event database (",
                    inQuotes(LibraryScanner::eventDatabaseName), ")"}));
    }
    return library;
}

TimelineMatch findTimeline(const FCPLibrary &library, std::string_view text) {
    std::vector<TimelineMatch> all;
    for (const FCPEvent &event : library.events) {
        for (const FCPTimelineInfo &timeline : event.timelines) {
            if (timeline.id == text) {
                return {&event, &timeline};
            }
            all.push_back({&event, &timeline});
        }
    }
    const auto found =
        matching<TimelineMatch>(all, text, [](const TimelineMatch &match) -> std::string_view {
            return match.timeline->name;
        });
    if (found.size() == 1) {
        return found.front();
    }
    std::string message;
    if (found.empty()) {
        // Half a save holds fewer timelines than the library will: saying which are there
        // would mislead.
        for (const FCPEvent &event : library.events) {
            if (const auto why = DatabaseFileState::of(event.databaseURL).inTheMiddleOfASave()) {
                throw std::runtime_error(
                    joined({shownPath(library.url), " is being saved: event ", inQuotes(event.path),
                            ": its database ", *why, "; try again once the save is over"}));
            }
        }
        message = joined({"no timeline ", inQuotes(text), " in ", shownPath(library.url),
                          all.empty() ? "; it has no timelines" : "; its timelines are:"});
        for (const TimelineMatch &match : all) {
            message.append(describe(match));
        }
    } else {
        message = joined({"several timelines are named ", inQuotes(text), "; name one by its id:"});
        for (const TimelineMatch &match : found) {
            message.append(describe(match));
        }
    }
    throw std::runtime_error(message);
}

DisplayConfig builtInPreset(const std::optional<std::string> &name) {
    const std::vector<DisplayConfig> presets = BundledPresets::factoryPresets();
    if (!name) {
        return presets.front();
    }
    const auto found = matching<DisplayConfig>(
        presets, *name,
        [](const DisplayConfig &preset) -> std::string_view { return preset.name; });
    if (found.size() == 1) {
        return found.front();
    }
    std::string message =
        found.empty() ? joined({"no built-in preset ", inQuotes(*name), "; there are:"})
                      : joined({"several built-in presets are named ", inQuotes(*name), ":"});
    for (const DisplayConfig &preset : found.empty() ? presets : found) {
        message.append("\n  ").append(withControlsShown(preset.name));
    }
    throw std::runtime_error(message);
}

} // namespace tandrel::cli
