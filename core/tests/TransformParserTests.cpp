#include "core/database/TransformParser.h"
#include "core/tests/ClipFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>

#include <limits>

namespace tandrel {

void PrintTo(const TransformParser::TransformValues &t, std::ostream *out) {
    *out << "position (" << t.positionX << ", " << t.positionY << ", " << t.positionZ << ") scale ("
         << t.scaleX << ", " << t.scaleY << ") rotation " << t.rotation << " anchor (" << t.anchorX
         << ", " << t.anchorY << ")";
}

namespace {

using Values = TransformParser::TransformValues;

// Nested parameters around one curve: `path` is "Transform/Position/X".
std::string curveAt(const std::string &path, const std::string &attributes) {
    std::string open, close;
    size_t from = 0;
    while (from <= path.size()) {
        const size_t slash = std::min(path.find('/', from), path.size());
        open += "<parameter name=\"" + path.substr(from, slash - from) + "\">";
        close += "</parameter>";
        from = slash + 1;
    }
    return open + "<curve " + attributes + "/>" + close;
}

TEST(TransformParser, StoresEachCurveByItsParameterPath) {
    const struct {
        const char *what;
        std::string body;
        Values expected;
    } cases[] = {
        {"position X", curveAt("Transform/Position/X", "value=\"12.5\""), {.positionX = 12.5}},
        {"position Y and Z",
         curveAt("Transform/Position/Y", "value=\"-3\"") +
             curveAt("Transform/Position/Z", "value=\"7\""),
         {.positionY = -3, .positionZ = 7}},
        {"default when there is no value",
         curveAt("Transform/Scale/Scale X", "default=\"2\""),
         {.scaleX = 2}},
        {"value before default",
         curveAt("Transform/Scale/Scale Y", "default=\"2\" value=\"0.5\""),
         {.scaleY = 0.5}},
        {"bare scale names", curveAt("Scale X", "value=\"3\""), {.scaleX = 3}},
        {"rotation as Transform/Rotation",
         curveAt("Transform/Rotation", "value=\"45\""),
         {.rotation = 45}},
        {"rotation as Rotation/Z", curveAt("Rotation/Z", "value=\"-90\""), {.rotation = -90}},
        {"rotation about X is not rotation", curveAt("Transform/Rotation/X", "value=\"5\""), {}},
        {"anchor",
         curveAt("Anchor/X", "value=\"1\"") + curveAt("Anchor/Y", "value=\"2\""),
         {.anchorX = 1, .anchorY = 2}},
        {"the last curve of a field wins",
         curveAt("Position/X", "value=\"1\"") + curveAt("Position/X", "value=\"2\""),
         {.positionX = 2}},
        {"a curve outside any parameter is dropped", "<curve value=\"9\"/>", {}},
        {"values that are no finite number are skipped",
         curveAt("Position/X", "value=\"nan\"") + curveAt("Scale X", "value=\"inf\"") +
             curveAt("Scale Y", "value=\" 2\"") + curveAt("Position/Y", "value=\"1e999\""),
         {}},
        {"no curves", "<parameter name=\"Transform\"/>", {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TransformParser::parse("<scene>" + c.body + "</scene>"), c.expected) << c.what;
    }
    // What was read before a malformed part stands.
    EXPECT_EQ(TransformParser::parse(curveAt("Position/X", "value=\"4\"") + "<oops"),
              (Values{.positionX = 4}));
}

TEST(TransformParser, RefusesDocumentsItCannotTrust) {
    const std::string body = "<s>" + curveAt("Position/X", "value=\"4\"") + "</s>";
    const std::string entity = "<!DOCTYPE s [<!ENTITY e \"x\">]>";
    const std::string cases[] = {
        entity + body,
        "<!-- <s> -->" + entity + body,
        "<!DOCTYPE s SYSTEM \"file:///etc/passwd\">" + body,
        body + "\xC3",
    };
    for (const auto &document : cases) {
        EXPECT_EQ(TransformParser::parse(document), std::nullopt) << document;
        EXPECT_EQ(TransformParser::parse(std::span(
                      reinterpret_cast<const uint8_t *>(document.data()), document.size())),
                  std::nullopt)
            << document;
    }
}

TEST(TransformParser, ReportsModificationAndScale) {
    constexpr double huge = std::numeric_limits<double>::max();
    const struct {
        Values values;
        bool modified;
        const char *percentage;
    } cases[] = {
        {{}, false, "100%"},
        {{.scaleX = 1.0, .scaleY = 0.5}, true, "75%"},
        {{.scaleX = 0.125, .scaleY = 0.125}, true, "13%"},
        {{.scaleX = -0.125, .scaleY = -0.125}, true, "-13%"},
        {{.anchorY = 0.25}, true, "100%"},
        {{.scaleX = huge, .scaleY = huge}, true, "?%"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.values.isModified(), c.modified);
        EXPECT_EQ(c.values.scalePercentage(), c.percentage);
    }
}

// The first collection of `type` below `pk`, depth-first.
std::optional<int64_t> descendant(FCPDatabaseConnection &db, int64_t pk, const std::string &type) {
    for (int64_t child : CollectionReads::children(db, pk)) {
        if (CollectionReads::type(db, child) == type) {
            return child;
        }
        if (auto found = descendant(db, child, type)) {
            return found;
        }
    }
    return std::nullopt;
}

TEST(TransformParser, ReadsTheSampleTransform) {
    testing::GeneratedLibrary library(sample::standardSampleLibrary());
    auto &db = library.event("Day 1");
    const int64_t push = library.spine("Day 1", "Effects").at(4);
    const auto effect = descendant(db, push, "FFHeXForm3DEffect");
    ASSERT_TRUE(effect);
    const auto blob = CollectionReads::decodedBlob(db, *effect);
    ASSERT_TRUE(blob && blob->data("channelData"));
    const auto values = TransformParser::parse(*blob->data("channelData"));
    EXPECT_EQ(
        values,
        (Values{
            .positionX = 120, .positionY = -40, .scaleX = 1.25, .scaleY = 1.25, .rotation = 12.5}));
    EXPECT_EQ(values->scalePercentage(), "125%");
}

} // namespace
} // namespace tandrel
