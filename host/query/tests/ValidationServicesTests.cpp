#include "host/query/ValidationServices.h"

#include "core/tests/LibraryFixture.h"
#include "core/validation/ReportTexts.h"
#include "host/query/QueryResolver.h"
#include "host/query/tests/QueryFixture.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

// The sample library's "Sample" timeline against the hand-written export of the command-line
// tests, through the host's query layer with the real reader and validator.
TEST(ValidationServices, TheStandardOnesCompareTheExportOfTheTimelinesName) {
    testing::ScratchFolder folder;
    QueryResolver resolver(testing::caseInsensitiveOrder, ValidationServices::standard());
    resolver.reload({testing::loadedLibrary(sample::standardSampleLibrary(), folder.path())});
    std::string sample;
    for (const TimelineChoice &timeline : resolver.availableTimelines()) {
        if (timeline.name == "Sample") {
            sample = timeline.id;
        }
    }
    ASSERT_FALSE(sample.empty());

    const auto report =
        resolver.validateAgainstFCPXML(sample, fs::path(TANDREL_CLI_TESTS) / "Sample.fcpxml");
    EXPECT_EQ(report.sequenceName, "Sample");
    EXPECT_EQ(ReportTexts::headline(report), "FAIL \u2014 differences found");
    EXPECT_EQ(report.summaryLine(), "9/10 exact matches \u2014 2 field mismatches, 0 in FCPXML "
                                    "only, 3 in resolver only");

    try {
        resolver.validateAgainstFCPXML(sample, folder / "missing.fcpxml");
        ADD_FAILURE() << "a missing file was read";
    } catch (const FCPXMLParser::ParseError &error) {
        EXPECT_EQ(error.errorCase(), FCPXMLParser::ParseError::Case::fileNotFound);
    }
}

} // namespace
} // namespace tandrel
