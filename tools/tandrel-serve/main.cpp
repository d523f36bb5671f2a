// tandrel-serve: the host's state without windows.
//   tandrel-serve [--timeline T] [--preset NAME] [--settings FILE] LIBRARY...
//   tandrel-serve [--timeline T] [--preset NAME] --settings FILE
// adds and watches the libraries and serves timeline T (an id or a name; without one, the
// timeline served last with these settings, else the only timeline once every library is read
// and there is exactly one) with the preset NAME (without one, the active preset) into
// $XDG_DATA_HOME/Tandrel/current.json, as the host does. Each change of the status line and of
// the active preset and each snapshot written is printed as a line of its own.
// The host's user defaults (presets, the active preset, the libraries' bookmarks, the served
// timeline) live in the INI file FILE, so that a later run restores the libraries, the timeline
// and the preset of this one; it then needs no LIBRARY. Without FILE they stay in memory: nothing
// of the user's host settings is read or changed. Ends on SIGINT or SIGTERM.
//
// It follows the editor panel through the bridge as the host does (tandrel-bridge plays the
// panel): it publishes its presets, serves the timeline of the panel's sequence with the
// panel's preset, and checks each FCPXML dropped on the panel against the active timeline,
// printing the report's verdict and summary, or why there is none, after "validation: ".

#include "core/snapshot/SnapshotWriter.h"
#include "core/validation/ReportTexts.h"
#include "host/state/AppState.h"
#include "platform/runtime/KeyValueStore.h"
#include "tools/support/PrintLine.h"
#include "tools/tandrel-serve/QuitOnSignal.h"

#include <QCoreApplication>

#include <csignal>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tandrel;

struct Options {
    std::optional<std::string> timeline;
    std::optional<std::string> preset;
    std::optional<std::string> settings;
    std::vector<std::filesystem::path> libraries;
};

int usage() {
    std::fprintf(stderr, "usage: tandrel-serve [--timeline T] [--preset NAME] [--settings FILE] "
                         "LIBRARY...\n"
                         "       tandrel-serve [--timeline T] [--preset NAME] --settings FILE\n");
    return 2;
}

std::optional<Options> parse(const QStringList &arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const std::string argument = arguments[i].toStdString();
        if ((argument == "--timeline" || argument == "--preset" || argument == "--settings") &&
            i + 1 < arguments.size()) {
            (argument == "--timeline" ? options.timeline
             : argument == "--preset" ? options.preset
                                      : options.settings) = arguments[++i].toStdString();
        } else if (argument.starts_with("--")) {
            return std::nullopt;
        } else {
            options.libraries.emplace_back(argument);
        }
    }
    // Without settings there are no bookmarks to serve from.
    if (options.libraries.empty() && !options.settings) {
        return std::nullopt;
    }
    return options;
}

// The timeline given by id, else the first of that name.
std::optional<std::string> chosenTimeline(const AppState &state, const std::string &timeline) {
    for (const TimelineChoice &choice : state.availableTimelines()) {
        if (choice.id == timeline) {
            return choice.id;
        }
    }
    for (const TimelineChoice &choice : state.availableTimelines()) {
        if (choice.name == timeline) {
            return choice.id;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    const std::optional<Options> options = parse(QCoreApplication::arguments());
    if (!options) {
        return usage();
    }
    for (const std::filesystem::path &library : options->libraries) {
        if (library.extension() != ".fcpbundle" || !std::filesystem::is_directory(library)) {
            std::fprintf(stderr, "tandrel-serve: %s is not a library folder (.fcpbundle)\n",
                         shownLogLine(library.string()).c_str());
            return 2;
        }
    }

    AppState::Services services = AppState::Services::standard();
    if (options->settings) {
        // The host's user defaults, as the host keeps them: the user's alone.
        services.userDefaults = platform::SettingsKeyValueStore::iniFile(
            QString::fromStdString(*options->settings), FileAccess::userOnly);
    } else {
        services.userDefaults = std::make_shared<platform::MemoryKeyValueStore>();
    }
    AppState state(services);
    QObject::connect(&state, &AppState::statusMessageChanged,
                     [&] { printLine("status: " + state.statusMessage()); });
    QObject::connect(&state, &AppState::activePresetIDChanged, [&] {
        if (const std::optional<size_t> index = state.activePresetIndex()) {
            printLine("preset: " + state.presets()[*index].name);
        }
    });
    QObject::connect(&state, &AppState::lastSnapshotTimeChanged, [&] {
        printLine("snapshot: '" + state.activeTimelineName().value_or(*state.activeTimelineID()) +
                  "' written to " + SnapshotWriter::legacySnapshotURL().string());
    });
    // Once, from the pending field, and at once: unlike the validation window, which keeps a
    // drop until a timeline is active, a scripted run is shown the outcome straight away.
    QObject::connect(&state, &AppState::pendingXMLDropURLChanged, &state, [&] {
        const std::optional<std::filesystem::path> drop = state.pendingXMLDropURL();
        if (!drop) {
            return;
        }
        state.setPendingXMLDropURL(std::nullopt);
        state.validateActiveTimeline(*drop, &state, [](const AppState::ValidationResult &result) {
            if (const auto *report = std::get_if<TimelineValidator::ValidationReport>(&result)) {
                printLine("validation: " + std::string(ReportTexts::headline(*report)));
                printLine("validation: " + report->summaryLine());
                return;
            }
            try {
                std::rethrow_exception(std::get<std::exception_ptr>(result));
            } catch (const std::exception &error) {
                printLine("validation: " + std::string(error.what()));
            }
        });
    });
    if (options->timeline) {
        // After the list is complete, so that the choice is not undone by the rest of the
        // refresh.
        QObject::connect(
            &state, &AppState::availableTimelinesChanged, &state,
            [&] {
                const auto chosen = chosenTimeline(state, *options->timeline);
                if (chosen && chosen != state.activeTimelineID()) {
                    state.setActiveTimeline(chosen);
                }
            },
            Qt::QueuedConnection);
    }

    state.start();
    if (options->preset) {
        std::string known;
        for (const DisplayConfig &preset : state.presets()) {
            if (preset.name == *options->preset) {
                state.setActivePresetID(preset.id);
                known.clear();
                break;
            }
            known.append("\n  ").append(shownLogLine(preset.name));
        }
        if (!known.empty()) {
            std::fprintf(stderr, "tandrel-serve: no preset \"%s\"; there are:%s\n",
                         shownLogLine(*options->preset).c_str(), known.c_str());
            return 2;
        }
    }
    printLine("status: " + state.statusMessage());
    for (const std::filesystem::path &library : options->libraries) {
        state.addLibrary(std::filesystem::absolute(library));
    }
    tools::QuitOnSignal quit({SIGINT, SIGTERM});
    return QCoreApplication::exec();
}
