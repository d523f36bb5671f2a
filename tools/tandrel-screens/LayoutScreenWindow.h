#pragma once

// What the layout editor's screens share: a started state object on stand-ins (user defaults
// in memory, a clock that stands still, no snapshot file), and the main window's glass at its
// default darkness under the pane, holding that state object.

#include "host/state/AppState.h"
#include "host/views/common/MainWindowAppearance.h"
#include "host/views/common/Preferences.h"
#include "platform/runtime/MainQueue.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QWidget>

#include <memory>

namespace tandrel::screens {

inline std::unique_ptr<AppState> editorScreenState() {
    AppState::Services services = standInServices();
    services.writeSnapshot = [](const TandrelSnapshot &) {};
    services.clearSnapshot = [] {};
    auto state = std::make_unique<AppState>(std::move(services));
    state->start();
    platform::MainQueue::runPending();
    return state;
}

class LayoutScreenWindow : public QWidget {
public:
    explicit LayoutScreenWindow(std::unique_ptr<AppState> state) : state_(state.get()) {
        state->setParent(this);
        state.release();
        new QHBoxLayout(this);
        layout()->setContentsMargins(0, 0, 0, 0);
    }

    AppState &state() const { return *state_; }

protected:
    void paintEvent(QPaintEvent *) override {
        const MainWindowAppearance appearance =
            MainWindowAppearance::from(AppearanceSettings::defaults());
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setOpacity(appearance.baseOpacity);
        painter.fillRect(rect(), appearance.baseColor);
    }

private:
    AppState *state_;
};

} // namespace tandrel::screens
