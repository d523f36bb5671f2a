#pragma once

// A panel with a private app group, an editor played by hand and a clock moved by hand.

#include "extension/TandrelFCPExtensionViewController.h"

#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "host/bridge/ExtensionBridge.h"
#include "platform/proext/SimulatedFCPXHost.h"
#include "platform/runtime/AppGroup.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

#include <memory>

namespace tandrel::testing {

class PanelTest : public ::testing::Test {
protected:
    using Panel = TandrelFCPExtensionViewController;

    PanelTest() { platform::ProExtensionRegisterHost(editor); }
    ~PanelTest() override { platform::ProExtensionRegisterHost(nullptr); }

    Panel::Services services() {
        return {clock->timers(), [this] { ++launches; }, {clock, [this] { ++dropsAnnounced; }}};
    }
    // A panel as the editor opens it, connected once the main queue has run.
    std::unique_ptr<Panel> openPanel(bool connect = true) {
        auto panel = std::make_unique<Panel>(services());
        if (connect) {
            platform::MainQueue::runPending();
        }
        return panel;
    }

    platform::SimulatedTimeline &timeline() { return editor->simulatedTimeline(); }
    std::shared_ptr<platform::KeyValueStore> suite() {
        return platform::AppGroup::suite(ExtensionBridge::suiteName);
    }
    // Clears the last selection published, so that the next one shows.
    void forgetSelection() { suite()->remove(ExtensionBridge::activeSelectionKey); }

    ScratchFolder data;
    ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", data.path().string()};
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::shared_ptr<platform::SimulatedFCPXHost> editor =
        std::make_shared<platform::SimulatedFCPXHost>();
    int launches = 0;
    int dropsAnnounced = 0;
};

} // namespace tandrel::testing
