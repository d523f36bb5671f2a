#include "core/support/UnicodeText.h"
#include "core/support/XMLSecurity.h"
#include "core/support/XMLStreamParser.h"
#include "core/tests/XMLFixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace tandrel {
namespace {

using testing::utf16;

std::span<const uint8_t> bytes(const std::string &text) {
    return {reinterpret_cast<const uint8_t *>(text.data()), text.size()};
}

bool guardRefuses(const std::string &document) {
    try {
        XMLSecurity::rejectXMLEntityDeclarations(bytes(document), "test data");
        return false;
    } catch (const XMLSecurityError &) {
        return true;
    }
}

// A prolog comment of `length` bytes of two-byte characters, so that a cut at any even
// offset inside it falls in the middle of one.
std::string multiByteComment(size_t length) {
    std::string comment = "<!--";
    while (comment.size() < length) {
        comment += "\xC3\xA9"; // é
    }
    return comment + "-->";
}

const std::string entityDTD = "<!DOCTYPE scene [<!ENTITY e \"x\">]>";

TEST(XMLSecurity, RefusesEntityDeclarationsInThePrologOnly) {
    const struct {
        const char *what;
        std::string document;
        bool refused;
    } cases[] = {
        {"entity in the internal subset",
         "<?xml version=\"1.0\"?>\n" + entityDTD + "<scene>&e;</scene>", true},
        {"entity inside the root element", "<scene>" + entityDTD + "</scene>", false},
        {"lower-case declaration", "<!DOCTYPE s [<!entity e \"x\">]><s/>", false},
        {"no start tag: all of it is prolog", "<!-- x --><!ENTITY e \"x\">", true},
        {"'<' at the very end", "<!ENTITY e \"x\"><", true},
        {"'<<' before a letter", "<<!ENTITY e \"x\"><s/>", true},
        {"letter of another script ends the prolog", "<\xCE\xB1/><!ENTITY e \"x\">", false},
        {"empty data", "", false},
        {"declaration beyond the examined bytes",
         std::string(66000, ' ') + "<!ENTITY e \"x\">" + std::string(3985, ' '), false},
        // The examined bytes end inside a character: the whole characters before are read.
        {"character cut at the boundary",
         "<?xml version=\"1.0\"?>" + entityDTD + multiByteComment(70000) + "<scene/>", true},
        // Bytes that are not UTF-8 end the examined text, not the examination.
        {"invalid bytes after the declaration", entityDTD + "\xFF\xFE<scene/>", true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(guardRefuses(c.document), c.refused) << c.what;
    }
    const std::string cut = "<?xml version=\"1.0\"?>" + entityDTD + multiByteComment(70000);
    ASSERT_NE(validUTF8PrefixLength(cut.substr(0, XMLSecurity::examinedLength)),
              XMLSecurity::examinedLength)
        << "the fixture must cut a character at the boundary";
}

TEST(XMLSecurity, NamesTheRefusedData) {
    try {
        XMLSecurity::rejectXMLEntityDeclarations(bytes(entityDTD + "<s/>"),
                                                 "FFRetimingVideoEffect channelData");
        FAIL() << "not refused";
    } catch (const XMLSecurityError &error) {
        EXPECT_EQ(error.errorCase(), XMLSecurityError::Case::entityDeclarationsRejected);
        EXPECT_EQ(error.name(), "FFRetimingVideoEffect channelData");
        EXPECT_STREQ(error.what(),
                     "'FFRetimingVideoEffect channelData' declares XML entities (<!ENTITY "
                     "\u2026>), which Final Cut Pro never emits. Refusing to parse: this can be "
                     "an XXE (local file disclosure) or billion-laughs (denial-of-service) "
                     "payload, or a corrupt blob.");
    }
}

// Records the events a parse delivers, one text per event.
class Recorder : public XMLStreamParser::Delegate {
public:
    std::string events;
    void startElement(std::string_view name, const XMLStreamParser::Attributes &a) override {
        events.append("<").append(name);
        if (auto value = a.find("name")) {
            events.append(" name=").append(*value);
        }
        events += ">";
    }
    void characters(std::string_view text) override { events += text; }
    void endElement(std::string_view name) override { events.append("</").append(name) += ">"; }
};

TEST(XMLStreamParser, RefusesWhatTheGuardCannotSee) {
    using Outcome = XMLStreamParser::Outcome;
    using Found = XMLSecurityError::Case;
    const std::string speed = "<p name=\"Speed\">1</p>";
    const struct {
        const char *what;
        std::string document;
        Outcome outcome;
        const char *events;
        std::optional<Found> found = std::nullopt;
    } cases[] = {
        {"plain document", "<?xml version=\"1.0\"?><s>" + speed + "</s>", Outcome::finished,
         "<s><p name=Speed>1</p></s>"},
        {"bare document type", "<!DOCTYPE s><s>" + speed + "</s>", Outcome::finished,
         "<s><p name=Speed>1</p></s>"},
        {"internal subset that declares nothing", "<!DOCTYPE s [ <!-- note --> <?pi x?> ]><s/>",
         Outcome::finished, "<s></s>"},
        // Its default would add a name the document never wrote.
        {"attribute default", "<!DOCTYPE s [<!ATTLIST p name CDATA \"Speed\">]><s><p>1</p></s>",
         Outcome::refused, "", Found::attributeListDeclarationsRejected},
        {"element declaration only", "<!DOCTYPE s [<!ELEMENT s ANY>]><s/>", Outcome::refused, "",
         Found::elementDeclarationsRejected},
        {"notation", "<!DOCTYPE s [<!NOTATION n SYSTEM \"n\">]><s/>", Outcome::refused, "",
         Found::notationDeclarationsRejected},
        // Past it expat would skip the attribute list instead of reporting it.
        {"parameter-entity reference",
         "<!DOCTYPE s [%p; <!ATTLIST p name CDATA \"Speed\">]><s><p>1</p></s>", Outcome::refused,
         "", Found::parameterEntityReferencesRejected},
        {"character references", "<s>&#60;&lt;</s>", Outcome::finished, "<s><<</s>"},
        {"malformed: events before the error stand", "<s><p name=\"Speed\">1</p><p",
         Outcome::malformed, "<s><p name=Speed>1</p>"},
        {"entity declaration", entityDTD + "<scene>&e;</scene>", Outcome::refused, "",
         Found::entityDeclarationsRejected},
        {"comment with a start tag before the declaration",
         "<!-- <scene> -->" + entityDTD + "<scene/>", Outcome::refused, "",
         Found::entityDeclarationsRejected},
        {"external DTD", "<!DOCTYPE s SYSTEM \"file:///etc/passwd\"><s>" + speed + "</s>",
         Outcome::refused, "", Found::externalDTDRejected},
        {"public DTD", "<!DOCTYPE s PUBLIC \"-//X//DTD X//EN\" \"x.dtd\"><s/>", Outcome::refused,
         "", Found::externalDTDRejected},
        {"external entity", "<!DOCTYPE s [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><s>&x;</s>",
         Outcome::refused, "", Found::entityDeclarationsRejected},
        {"parameter entity", "<!DOCTYPE s [<!ENTITY % p SYSTEM \"file:///etc/hostname\"> %p;]><s/>",
         Outcome::refused, "", Found::entityDeclarationsRejected},
        {"billion laughs",
         "<!DOCTYPE l [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]><l>&b;</l>",
         Outcome::refused, "", Found::entityDeclarationsRejected},
        {"UTF-16 with byte-order mark", utf16(entityDTD + "<s/>", true), Outcome::refused, "",
         Found::entityDeclarationsRejected},
        {"UTF-16 without byte-order mark",
         utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + entityDTD + "<s/>", false),
         Outcome::refused, "", Found::entityDeclarationsRejected},
        {"UTF-16 attribute default",
         utf16("<!DOCTYPE s [<!ATTLIST p name CDATA \"Speed\">]><s><p>1</p></s>", true),
         Outcome::refused, "", Found::attributeListDeclarationsRejected},
        {"declaration inside the root element", "<s>" + speed + entityDTD + "</s>",
         Outcome::malformed, "<s><p name=Speed>1</p>"},
    };
    for (const auto &c : cases) {
        Recorder recorder;
        XMLStreamParser::Failure failure;
        EXPECT_EQ(XMLStreamParser::parse(bytes(c.document), recorder, &failure), c.outcome)
            << c.what;
        EXPECT_EQ(recorder.events, c.events) << c.what;
        if (c.found) {
            EXPECT_EQ(failure.refusal, *c.found) << c.what;
        }
    }
}

TEST(XMLStreamParser, HoldsNoMoreMemoryThanItsBudgetAllows) {
    using Outcome = XMLStreamParser::Outcome;
    // The outcome, and the most the parser held.
    const auto parse = [](const std::string &document, uint64_t perByte) {
        XMLStreamParser::MemoryBudget budget(perByte, 1 << 20);
        Recorder recorder;
        const Outcome outcome = XMLStreamParser::parse(bytes(document), recorder, nullptr, &budget);
        // Every block the parser took is given back when the parse ends.
        EXPECT_EQ(budget.held(), 0u);
        return std::pair{outcome, budget.peak()};
    };
    std::string deep;
    for (int level = 0; level < 100000; ++level) {
        deep += "<a>\n";
    }
    // Each open level costs the parser far more than its four bytes.
    EXPECT_EQ(parse(deep, XMLStreamParser::defaultPerInputByte).first, Outcome::exhausted);
    EXPECT_EQ(parse(deep, 64).first, Outcome::malformed);
    // A long value takes a few times its size: the text being parsed, in a buffer that grows
    // by doubling, and the value.
    const std::string longValue = "<s name=\"" + std::string(10 << 20, 'x') + "\"/>";
    const auto [outcome, peak] = parse(longValue, XMLStreamParser::defaultPerInputByte);
    EXPECT_EQ(outcome, Outcome::finished);
    EXPECT_LT(peak, 4 * longValue.size());
    EXPECT_EQ(parse(longValue, 1).first, Outcome::exhausted);
}

TEST(UnicodeText, MeasuresValidPrefixesAndTrimsWhiteSpace) {
    EXPECT_EQ(validUTF8PrefixLength("abc"), 3u);
    EXPECT_EQ(validUTF8PrefixLength("ab\xC3"), 2u);            // cut character
    EXPECT_EQ(validUTF8PrefixLength("a\xED\xA0\x80"), 1u);     // surrogate
    EXPECT_EQ(validUTF8PrefixLength("a\xC0\xAF"), 1u);         // overlong
    EXPECT_EQ(validUTF8PrefixLength("\xF0\x9F\x8E\xAC!"), 5u); // 🎬
    EXPECT_TRUE(isValidUTF8(std::string_view("a\0b", 3)));
    EXPECT_EQ(trimmingWhitespaceAndNewlines(" \t\n\xC2\xA0"
                                            "1 2\r\n\xE2\x80\xA8"),
              "1 2");
    EXPECT_EQ(trimmingWhitespaceAndNewlines(" \n "), "");
    EXPECT_TRUE(startsWithLetter("\xCE\xB1"));
    EXPECT_FALSE(startsWithLetter("_x"));
    EXPECT_FALSE(startsWithLetter("\xC3"));
}

} // namespace
} // namespace tandrel
