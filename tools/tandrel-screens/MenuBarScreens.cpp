// The menu-bar extra's menu while a timeline is served, when its snapshot could not be
// written, and before any library is watched.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "host/state/AppState.h"
#include "host/views/menubar/MenuBarView.h"
#include "platform/runtime/MainQueue.h"

#include "tools/tandrel-screens/ScreenState.h"

#include <QPainter>

namespace {

using namespace tandrel;
using tandrel::screens::ScreenContext;

// The state object of the screen; made once per screen process, with its snapshot written or
// its writes refused, and kept for the life of the menu.
AppState &screenState(bool snapshotRefused = false) {
    static const std::unique_ptr<AppState> made = [snapshotRefused] {
        AppState::Services services = screens::standInServices();
        if (snapshotRefused) {
            services.writeSnapshot = &screens::refusedSnapshotFolder;
        }
        auto state = std::make_unique<AppState>(std::move(services));
        state->start();
        return state;
    }();
    return *made;
}

// The open menu as it lies on the desktop: at its own size, over a wallpaper, so that its
// edges and padding show.
class MenuOnTheDesktop : public QWidget {
public:
    explicit MenuOnTheDesktop(std::unique_ptr<MenuBarView> menu) : menu_(std::move(menu)) {
        // As it opens.
        emit menu_->aboutToShow();
        menu_->ensurePolished();
        menu_->resize(menu_->sizeHint());
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x3a, 0x3f, 0x47));
        painter.drawPixmap(QPoint(margin, margin), menu_->grab());
    }

private:
    static constexpr int margin = 12;
    std::unique_ptr<MenuBarView> menu_;
};

// The sample timeline chosen, its snapshot written or refused.
std::unique_ptr<QWidget> menuServing(const ScreenContext &context, bool snapshotRefused) {
    AppState &state = screenState(snapshotRefused);
    state.addLibrary(screens::sampleLibrary(context));
    platform::MainQueue::runPending();
    for (const TimelineChoice &timeline : state.availableTimelines()) {
        if (timeline.name == screens::named(context, "Sample")) {
            state.setActiveTimeline(timeline.id);
        }
    }
    return std::make_unique<MenuOnTheDesktop>(
        std::make_unique<MenuBarView>(state, MenuBarView::Actions{}));
}

// A first start: no library watched yet.
std::unique_ptr<QWidget> menuEmpty(const ScreenContext &) {
    return std::make_unique<MenuOnTheDesktop>(
        std::make_unique<MenuBarView>(screenState(), MenuBarView::Actions{}));
}

const tandrel::screens::ScreenRegistration screens{
    {"host-menu-bar-extra-serving",
     {300, 170},
     [](const ScreenContext &c) { return menuServing(c, false); }},
    // Room for the failure's line, as wide as the menu lets it be.
    {"host-menu-bar-extra-write-failed",
     {560, 150},
     [](const ScreenContext &c) { return menuServing(c, true); }},
    {"host-menu-bar-extra-empty", {300, 150}, menuEmpty},
};

} // namespace
