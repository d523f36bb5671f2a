#include "host/views/menubar/MenuBarContent.h"

#include "core/support/UnicodeText.h"
#include "host/state/AppState.h"

namespace tandrel {

MenuBarItem MenuBarItem::label(std::string symbol, std::string text, Tone tone) {
    return {Kind::label, std::move(symbol), std::move(text), tone, Command::none, {}};
}

MenuBarItem MenuBarItem::divider() {
    return {Kind::divider, {}, {}, Tone::caption, Command::none, {}};
}

MenuBarContent::Inputs MenuBarContent::Inputs::of(const AppState &state) {
    return {state.statusMessage(), state.activeTimelineName(), state.snapshotWritten(),
            state.watchedLibraries()};
}

std::vector<MenuBarItem> MenuBarContent::items(const Inputs &inputs) {
    using Tone = MenuBarItem::Tone;
    std::vector<MenuBarItem> items{MenuBarItem::label(symbol, inputs.statusMessage)};
    if (inputs.activeTimelineName && inputs.snapshotWritten) {
        // The name as every view shows it: it can neither break the line nor reorder it.
        items.push_back(MenuBarItem::label(
            "dot.radiowaves.left.and.right",
            std::string("Active: ")
                .append(shownName(*inputs.activeTimelineName, shownNameCharacters)),
            Tone::active));
    }
    items.push_back(MenuBarItem::divider());
    for (const WatchedLibrary &library : inputs.watchedLibraries) {
        // A library whose scan failed waits like one still being read; the main window says
        // why.
        items.push_back(MenuBarItem::label(library.isLoaded ? "checkmark.circle" : "clock",
                                           shownName(library.name, shownNameCharacters)));
    }
    if (inputs.watchedLibraries.empty()) {
        items.push_back(MenuBarItem::label({}, noLibrariesText, Tone::secondary));
    }
    items.push_back(MenuBarItem::divider());
    items.push_back({MenuBarItem::Kind::command, {}, openHostTitle, Tone::caption,
                     MenuBarItem::Command::openHost, {}});
    items.push_back({MenuBarItem::Kind::command, {}, quitTitle, Tone::caption,
                     MenuBarItem::Command::quit, quitShortcut});
    return items;
}

MenuBarModel::MenuBarModel(const AppState &state, QObject *parent)
    : QObject(parent), state_(state) {
    for (const auto read :
         {&AppState::statusMessageChanged, &AppState::activeTimelineIDChanged,
          &AppState::availableTimelinesChanged, &AppState::snapshotWrittenChanged,
          &AppState::watchedLibrariesChanged}) {
        connect(&state, read, this, &MenuBarModel::changed);
    }
}

std::vector<MenuBarItem> MenuBarModel::items() const {
    return MenuBarContent::items(MenuBarContent::Inputs::of(state_));
}

} // namespace tandrel
