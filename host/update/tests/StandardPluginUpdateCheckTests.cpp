// The check as the host wires it: the marker under the private data folder, the build's
// installer configuration (no update server in the tests), and every published state.
#include "host/update/StandardPluginUpdateCheck.h"

#include "core/tests/ScopedEnvironmentVariable.h"
#include "core/tests/TemporaryFolder.h"
#include "wrapper/PluginVersionMarker.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tandrel {
namespace {

using State = PluginUpdateCheck::State;
using testing::ScopedEnvironmentVariable;

TEST(StandardPluginUpdateCheck,
     ReadsTheMarkerUnderApplicationSupportAndInstallsWithTheBuildsSettings) {
    struct Case {
        const char *what;
        std::optional<std::string> markerBuild;
        std::vector<State> states;
    };
    const Case cases[] = {
        {"no marker: the wrapper never ran", std::nullopt, {State::upToDate()}},
        {"the marker's build is the host's", "58", {State::upToDate()}},
        {"an older plug-in, and no server to fetch it from",
         "57",
         {State::installing(), State::failed("no update server is configured")}},
    };
    for (const Case &c : cases) {
        testing::TemporaryFolder home;
        const ScopedEnvironmentVariable data("XDG_DATA_HOME", home.path().string());
        const ScopedEnvironmentVariable server("TANDREL_UPDATE_SERVER", "");
        const ScopedEnvironmentVariable applications("TANDREL_APPLICATIONS_DIR",
                                                     (home.path() / "Applications").string());
        if (c.markerBuild) {
            PluginVersionMarker{"1.0", *c.markerBuild}.writeIgnoringFailures(
                home.path() / "Tandrel/plugin_version.json");
        }
        std::vector<State> published;
        QEventLoop loop;
        standardPluginUpdateCheck("58")([&](State state) {
            published.push_back(std::move(state));
            if (published.back() != State::installing()) {
                loop.quit();
            }
        });
        if (published.empty() || published.back() == State::installing()) {
            loop.exec();
        }
        EXPECT_EQ(published, c.states) << c.what;
    }
}

} // namespace
} // namespace tandrel
