// The bridge on a private app-group folder. The notification tests need a session bus: ctest
// runs under dbus-run-session (scripts/test).

#include "host/bridge/ExtensionBridge.h"

#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "platform/notify/DarwinNotifyCenter.h"
#include "platform/runtime/AppGroup.h"

#include <gtest/gtest.h>

#include <QVariant>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <semaphore>
#include <string>
#include <vector>

namespace tandrel::ExtensionBridge {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const Uuid conform = *Uuid::fromString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
const Uuid colorist = *Uuid::fromString("0B4D1C9A-7F35-4A5E-9E7D-3C1A2B4D5E6F");

// The names of the bridge's notifications that arrive once it is set up, kept alive by the
// callbacks, which are never removed. A posting of the test's own opens the record, so that
// postings made earlier in the process, which arrive in order before it, stay out. Waiting
// gives up after a minute, so that a lost posting fails the test instead of hanging it.
class Arrivals {
public:
    static std::shared_ptr<Arrivals> observing(std::vector<DarwinNotification> notifications) {
        auto arrivals = std::make_shared<Arrivals>();
        for (const DarwinNotification notification : notifications) {
            observeDarwinNotification(notification, [arrivals, notification] {
                arrivals->arrive(std::string(notification.rawValue()));
            });
        }
        const std::string opening =
            "test.bridge.opening." + std::to_string(reinterpret_cast<uintptr_t>(arrivals.get()));
        platform::DarwinNotifyCenter::addObserver(
            arrivals.get(), opening,
            [arrivals](const std::string &name) { arrivals->arrive(name); });
        platform::DarwinNotifyCenter::post(opening);
        arrivals->await(1);
        std::lock_guard guard(arrivals->lock_);
        arrivals->names_.clear();
        return arrivals;
    }

    std::vector<std::string> await(int postings) {
        for (int i = 0; i < postings; ++i) {
            if (!count_.try_acquire_for(60s)) {
                ADD_FAILURE() << "a posting did not arrive";
                break;
            }
        }
        std::lock_guard guard(lock_);
        return names_;
    }

private:
    void arrive(std::string name) {
        {
            std::lock_guard guard(lock_);
            if (!opened_ && !name.starts_with("test.bridge.opening.")) {
                return;
            }
            opened_ = true;
            names_.push_back(std::move(name));
        }
        count_.release();
    }

    std::mutex lock_;
    bool opened_ = false;
    std::vector<std::string> names_;
    std::counting_semaphore<> count_{0};
};

class ExtensionBridgeTest : public ::testing::Test {
protected:
    std::shared_ptr<platform::KeyValueStore> suite() const {
        return platform::AppGroup::suite(suiteName);
    }
    fs::path container() const { return data / suiteName; }
    static bool hasBus() { return std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr; }

    testing::ScratchFolder data;
    testing::ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", data.path().string()};
};

TEST_F(ExtensionBridgeTest, PresetsArePublishedAsJsonWithTheActiveIdInUpperCase) {
    publishPresets({}, conform);
    EXPECT_EQ(suite()->data(presetsKey), QByteArray("[]"));
    EXPECT_EQ(suite()->string(activePresetIDKey), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(readPresets().presets, std::vector<PresetSummary>{});

    const std::vector<PresetSummary> presets{{conform, "Conform"}, {colorist, "Colorist"}};
    publishPresets(presets, colorist);
    EXPECT_EQ(
        suite()->data(presetsKey),
        QByteArray("[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"Conform\"},"
                   "{\"id\":\"0B4D1C9A-7F35-4A5E-9E7D-3C1A2B4D5E6F\",\"name\":\"Colorist\"}]"));
    const PublishedPresets read = readPresets();
    EXPECT_EQ(read.presets, presets);
    EXPECT_EQ(read.activePresetID, colorist);

    // What the panel cannot read gives an empty list or no active id, each by itself.
    suite()->setValue(activePresetIDKey, QString("Colorist"));
    EXPECT_EQ(readPresets().presets, presets);
    EXPECT_EQ(readPresets().activePresetID, std::nullopt);
    suite()->setValue(presetsKey, QByteArray("[{\"id\":\"E621E1F8\"}]"));
    suite()->setValue(activePresetIDKey, QString("0b4d1c9a-7f35-4a5e-9e7d-3c1a2b4d5e6f"));
    EXPECT_EQ(readPresets().presets, std::vector<PresetSummary>{});
    EXPECT_EQ(readPresets().activePresetID, colorist);
}

TEST_F(ExtensionBridgeTest, TheHostReadsTheSelectionThePanelPublished) {
    EXPECT_EQ(readActiveSelection(), std::nullopt);
    const double before =
        ActiveSelection::secondsSinceReferenceDate(std::chrono::system_clock::now());
    publishActiveSelection("Main Edit", conform);
    const auto selection = readActiveSelection();
    ASSERT_TRUE(selection);
    EXPECT_EQ(selection->sequenceName, "Main Edit");
    EXPECT_EQ(selection->selectedPresetID, conform);
    EXPECT_GE(selection->updatedAt, before);
    EXPECT_LE(selection->updatedAt,
              ActiveSelection::secondsSinceReferenceDate(std::chrono::system_clock::now()));

    publishActiveSelection(std::nullopt, std::nullopt);
    const auto cleared = readActiveSelection();
    ASSERT_TRUE(cleared);
    EXPECT_EQ(cleared->sequenceName, std::nullopt);
    EXPECT_EQ(cleared->selectedPresetID, std::nullopt);

    const std::pair<QVariant, bool> stored[] = {
        {QByteArray("{\"sequenceName\":\"Main Edit\"}"), false},
        {QByteArray("{\"updatedAt\":3}"), true},
        {QString("{\"updatedAt\":3}"), false}, // text, not data
        {QByteArray("{\"updatedAt\":3"), false},
    };
    for (const auto &[value, reads] : stored) {
        suite()->setValue(activeSelectionKey, value);
        EXPECT_EQ(readActiveSelection().has_value(), reads) << value.toString().toStdString();
    }
}

TEST_F(ExtensionBridgeTest, ThePanelSizeIsTheStoredOneOnlyWhenBothValuesAreUsable) {
    const PanelSize fallback{300, 220};
    EXPECT_EQ(readPanelSize(fallback), fallback);
    constexpr double infinity = std::numeric_limits<double>::infinity();
    struct Case {
        double width;
        double height;
        PanelSize read;
    };
    const Case cases[] = {
        {0, 400, fallback},
        {400, 0, fallback},
        {-10, 300, fallback},
        {infinity, 500, fallback},
        {500, std::nan(""), fallback},
        // Finite but beyond any screen: as whole points these would wrap or overflow.
        {1e300, 300, fallback},
        {400, 4294967396, fallback},
        {largestPanelSide + 1, 300, fallback},
        {350.5, 260, {350.5, 260}},
        {largestPanelSide, largestPanelSide, {largestPanelSide, largestPanelSide}},
    };
    for (const Case &c : cases) {
        savePanelSize(c.width, c.height);
        EXPECT_EQ(readPanelSize(fallback), c.read) << c.width << " x " << c.height;
    }
    suite()->setValue(panelWidthKey, QString("wide"));
    EXPECT_EQ(readPanelSize(fallback), fallback);
}

TEST_F(ExtensionBridgeTest, WithoutTheGroupsFolderReadsAreEmptyAndNothingIsWrittenOrPosted) {
    if (!hasBus()) {
        GTEST_SKIP() << "no D-Bus session bus; run under dbus-run-session";
    }
    const auto arrivals = Arrivals::observing(
        {DarwinNotification::presetsChanged, DarwinNotification::selectionChanged});
    publishPresets({{conform, "Conform"}}, conform);
    publishActiveSelection("Main Edit", conform);
    savePanelSize(640, 480);

    // A file where the group's folder would be.
    fs::remove_all(container());
    testing::writeFile(container(), "not a folder");
    EXPECT_EQ(containerURL(), std::nullopt);
    EXPECT_EQ(readActiveSelection(), std::nullopt);
    EXPECT_EQ(readPresets().presets, std::vector<PresetSummary>{});
    EXPECT_EQ(readPresets().activePresetID, std::nullopt);
    EXPECT_EQ(readPanelSize({300, 220}), (PanelSize{300, 220}));
    publishActiveSelection("Other", std::nullopt);
    publishPresets({}, colorist);
    savePanelSize(1, 1);
    EXPECT_EQ(testing::snapshotFiles(data.path()).size(), 1u);

    // Postings arrive in order: a selection posted without the folder would come before this.
    fs::remove(container());
    publishPresets({}, colorist);
    EXPECT_EQ(arrivals->await(3),
              (std::vector<std::string>{"com.ostrevale.tandrel.presetsChanged",
                                        "com.ostrevale.tandrel.selectionChanged",
                                        "com.ostrevale.tandrel.presetsChanged"}));
}

} // namespace
} // namespace tandrel::ExtensionBridge
