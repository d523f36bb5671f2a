// The menu-bar extra's menu while a timeline is served, and before any library is watched.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "host/state/AppState.h"
#include "host/views/menubar/MenuBarView.h"
#include "platform/runtime/MainQueue.h"
#include "tools/tandrel-screens/ScreenState.h"

namespace {

using namespace tandrel;
using tandrel::screens::ScreenContext;

// The state object of the screen; made once per screen process and kept for the life of the
// menu.
AppState &screenState() {
    static const std::unique_ptr<AppState> made = [] {
        auto state = std::make_unique<AppState>(screens::standInServices());
        state->start();
        return state;
    }();
    return *made;
}

std::unique_ptr<QWidget> menuServing(const ScreenContext &context) {
    AppState &state = screenState();
    state.addLibrary(screens::sampleLibrary(context));
    platform::MainQueue::runPending();
    for (const TimelineChoice &timeline : state.availableTimelines()) {
        if (timeline.name == screens::named(context, "Sample")) {
            state.setActiveTimeline(timeline.id);
        }
    }
    auto menu = std::make_unique<MenuBarView>(state, MenuBarView::Actions{});
    // As it opens.
    emit menu->aboutToShow();
    return menu;
}

// A first start: no library watched yet.
std::unique_ptr<QWidget> menuEmpty(const ScreenContext &) {
    auto menu = std::make_unique<MenuBarView>(screenState(), MenuBarView::Actions{});
    // As it opens.
    emit menu->aboutToShow();
    return menu;
}

const tandrel::screens::ScreenRegistration screens{
    {"host-menu-bar-extra-serving", {260, 140}, menuServing},
    {"host-menu-bar-extra-empty", {260, 100}, menuEmpty},
};

} // namespace
