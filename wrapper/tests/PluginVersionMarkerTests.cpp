#include "wrapper/PluginVersionMarker.h"

#include "core/tests/ScopedEnvironmentVariable.h"
#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnvironmentVariable;
using testing::TemporaryFolder;

TEST(PluginVersionMarker, DecodesOnlyAnObjectWithTextVersionAndBuild) {
    const struct {
        std::string json;
        std::optional<PluginVersionMarker> marker;
    } cases[] = {
        {R"({"version":"1.4","build":"57"})", PluginVersionMarker{"1.4", "57"}},
        {R"({"build":"57","version":"1.4"})", PluginVersionMarker{"1.4", "57"}},
        {R"({"version":"2.0","build":"12","extra":true})", PluginVersionMarker{"2.0", "12"}},
        {R"({"version":"2.0","build":"1.0.3"})", PluginVersionMarker{"2.0", "1.0.3"}},
        {R"({"version":"2.0"})", std::nullopt},
        {R"({"version":"2.0","build":12})", std::nullopt},
        {R"({"version":"2.0","build":null})", std::nullopt},
        {R"({"version":{},"build":"12"})", std::nullopt},
        {R"({"Version":"2.0","build":"12"})", std::nullopt},
        {R"(["2.0","12"])", std::nullopt},
        {"", std::nullopt},
        {"{\"version\":\"2.0\",", std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PluginVersionMarker::decode(c.json), c.marker) << c.json;
    }
}

TEST(PluginVersionMarker, EncodesVersionThenBuildCompactly) {
    EXPECT_EQ((PluginVersionMarker{"1.4", "57"}).encode(), R"({"version":"1.4","build":"57"})");
}

TEST(PluginVersionMarker, LivesInTheApplicationSupportFolder) {
    ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(PluginVersionMarker::location(), "/srv/data/Tandrel/plugin_version.json");
}

TEST(PluginVersionMarker, IsWrittenWholeAndNeverFailsItsWriter) {
    TemporaryFolder temp;
    const fs::path file = temp.path() / "Tandrel" / "plugin_version.json";
    EXPECT_EQ(PluginVersionMarker::read(file), std::nullopt);

    PluginVersionMarker{"1.0", "56"}.writeIgnoringFailures(file);
    EXPECT_EQ(PluginVersionMarker::read(file), (PluginVersionMarker{"1.0", "56"}));

    std::ofstream(file) << R"({"version":"9.9.9-a-much-longer-version","build":"999999","x":1})";
    PluginVersionMarker{"1.4", "57"}.writeIgnoringFailures(file);
    std::ifstream stream(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stream), {}),
              R"({"version":"1.4","build":"57"})");

    // A folder that cannot be made (a file stands in its place): nothing, and no failure.
    std::ofstream(temp.path() / "blocked") << "a file";
    PluginVersionMarker{"1.4", "57"}.writeIgnoringFailures(temp.path() / "blocked" / "m.json");
    EXPECT_FALSE(fs::exists(temp.path() / "blocked" / "m.json"));

    // A file bigger than any marker is not read at all.
    std::ofstream(file) << R"({"version":"1","build":"2","pad":")"
                        << std::string(PluginVersionMarker::maxFileBytes, ' ') << "\"}";
    EXPECT_EQ(PluginVersionMarker::read(file), std::nullopt);
}

} // namespace
} // namespace tandrel
