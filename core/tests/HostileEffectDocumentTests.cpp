// Effect-parameter documents made to abuse the XML parser, read from a library as the resolver
// reads a clip's effects: the retiming effect and the transform effect below the clip.

#include "core/database/RetimeParser.h"
#include "core/resolver/TimelineResolver.h"
#include "core/tests/ClipFixture.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using testing::HandMadeEvent;
using P = PlistValue;

TEST(HostileEffectDocuments, AreReadOnlyWithoutDeclarations) {
    // A speed and a position whose values the curves write themselves, or not at all.
    const auto document = [](const std::string &doctype, const std::string &curve) {
        const std::string text = doctype + "<scene><parameter name=\"Speed\">" + curve +
                                 "</parameter><parameter name=\"Position\"><parameter "
                                 "name=\"X\">" +
                                 curve + "</parameter></parameter></scene>";
        return P::Dictionary{{"channelData", P::data(Bytes(text.begin(), text.end()))}};
    };
    const std::string written = "<curve value=\"42\"/>";
    const struct {
        const char *what;
        P::Dictionary effect;
        bool read;
    } cases[] = {
        {"bare document type", document("<!DOCTYPE scene>", written), true},
        // Before, the default gave both curves a value the document never wrote.
        {"attribute defaults",
         document("<!DOCTYPE scene [<!ATTLIST curve value CDATA \"42\">]>", "<curve/>"), false},
        {"element declaration only", document("<!DOCTYPE scene [<!ELEMENT scene ANY>]>", written),
         false},
        {"external DTD without entities",
         document("<!DOCTYPE scene SYSTEM \"scene.dtd\">", written), false},
    };
    HandMadeEvent event;
    std::vector<std::pair<int64_t, int64_t>> clips;
    for (const auto &c : cases) {
        const int64_t retimed = event.add("FFAnchoredCollection", P::Dictionary{});
        event.add("FFRetimingVideoEffect", c.effect, retimed);
        const int64_t moved = event.add("FFAnchoredCollection", P::Dictionary{});
        const int64_t stack =
            event.add("FFEffectStack", P::Dictionary{{"filterType", P::string("video")}}, moved);
        event.add("FFHeXForm3DEffect", c.effect, stack);
        clips.emplace_back(retimed, moved);
    }
    FCPDatabaseConnection &db = event.open();
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto retime = RetimeParser::find(clips[i].first, db);
        const auto transform = TimelineResolver::loadTransformInfo(clips[i].second, db);
        EXPECT_EQ(retime.has_value(), cases[i].read) << cases[i].what;
        EXPECT_EQ(transform.has_value(), cases[i].read) << cases[i].what;
        if (cases[i].read && retime && transform) {
            EXPECT_EQ(retime->speed, 42) << cases[i].what;
            EXPECT_EQ(transform->positionX, 42) << cases[i].what;
        }
    }
}

} // namespace
} // namespace tandrel
