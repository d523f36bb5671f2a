#include "host/feedback/FeedbackPayload.h"
#include "host/feedback/RetryQueueFile.h"

#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tandrel {
namespace {

using testing::TemporaryFolder;
using Entry = RetryQueueEntry<FeedbackPayload>;

std::string contents(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void put(const std::filesystem::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> names(const std::filesystem::path &folder) {
    std::vector<std::string> found;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

FeedbackPayload payload(std::string text) {
    return {std::move(text), "ada", "0.1.0 (7)", "Linux 6.1.0", "Embrik \u2013 Settings", "d", {}, {}};
}

Entry entry(const char *id, std::string text, int64_t attempts = 0) {
    return Entry{*Uuid::fromString(id), payload(std::move(text)), std::nullopt, attempts};
}

constexpr const char *idA = "e621e1f8-c36c-495a-93fc-0c247a3e6e5f";
constexpr const char *idB = "0B9C3A44-7D1E-4F5A-8C2B-3E4D5F6A7B8C";

// An entry in the file's own words, with `member` replaced (or, with nothing, left out).
std::string storedEntry(const std::string &member = {}, const std::string &value = {}) {
    Json json = Json(entry(idB, "kept", 2));
    if (member.starts_with("operation.")) {
        Json &operation = json["operation"];
        const std::string key = member.substr(10);
        value.empty() ? (void)operation.erase(key) : (void)(operation[key] = Json::parse(value));
    } else if (!member.empty()) {
        value.empty() ? (void)json.erase(member) : (void)(json[member] = Json::parse(value));
    }
    return json.dump();
}

TEST(RetryQueueFile, WritesACompactArrayWithUpperCaseIdsAndOnlyPresentOptionals) {
    Entry full = entry(idA, "Der Export hängt", 3);
    full.dedupKey = "k";
    full.operation.screenshotPNG = Bytes{0x89, 'P', 'N', 'G'};
    full.operation.submitterEmail = "ada@example.com";
    Entry bare = entry(idB, "");
    bare.operation.screenshotPNG = Bytes{};

    const std::string text = RetryQueueFile::encode(std::vector<Entry>{full, bare});
    EXPECT_EQ(text,
              "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"operation\":{\"text\":\"Der "
              "Export hängt\",\"userName\":\"ada\",\"appVersion\":\"0.1.0 (7)\",\"osVersion\":"
              "\"Linux 6.1.0\",\"appModule\":\"Embrik \u2013 Settings\",\"diagnose\":\"d\","
              "\"screenshotPNG\":\"iVBORw==\",\"submitterEmail\":\"ada@example.com\"},"
              "\"dedupKey\":\"k\",\"attempts\":3},"
              "{\"id\":\"0B9C3A44-7D1E-4F5A-8C2B-3E4D5F6A7B8C\",\"operation\":{\"text\":\"\","
              "\"userName\":\"ada\",\"appVersion\":\"0.1.0 (7)\",\"osVersion\":\"Linux 6.1.0\","
              "\"appModule\":\"Embrik \u2013 Settings\",\"diagnose\":\"d\",\"screenshotPNG\":\"\"},"
              "\"attempts\":0}]");
    EXPECT_EQ(RetryQueueFile::encode(std::vector<Entry>{}), "[]");

    const auto read = RetryQueueFile::decode<FeedbackPayload>(text);
    EXPECT_TRUE(read.isEntryList);
    EXPECT_EQ(read.skipped, 0u);
    // An empty screenshot is still a screenshot: it selects the multipart form when posted.
    EXPECT_EQ(read.entries, (std::vector<Entry>{full, bare}));
}

TEST(RetryQueueFile, ReadsWhatOtherWritersMayLeave) {
    const std::string text =
        std::string("[{\"attempts\":2.0,\"extra\":[1],\"dedupKey\":null,\"id\":\"") + idA +
        "\",\"operation\":{\"text\":\"t\",\"userName\":\"u\",\"appVersion\":\"a\",\"osVersion\":"
        "\"o\",\"appModule\":\"m\",\"diagnose\":\"d\",\"screenshotPNG\":null,\"new\":true}}]";
    const auto read = RetryQueueFile::decode<FeedbackPayload>(text);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].id, *Uuid::fromString(idA));
    EXPECT_EQ(read.entries[0].attempts, 2);
    EXPECT_EQ(read.entries[0].dedupKey, std::nullopt);
    EXPECT_EQ(read.entries[0].operation, (FeedbackPayload{"t", "u", "a", "o", "m", "d", {}, {}}));
}

// One damaged entry costs only itself; the ones around it stay.
TEST(RetryQueueFile, SkipsEachMalformedEntryAndKeepsTheRest) {
    const struct {
        const char *member;
        const char *value;
    } damages[] = {
        {"id", ""},
        {"id", "\"not-a-uuid\""},
        {"id", "7"},
        {"attempts", ""},
        {"attempts", "1.5"},
        {"attempts", "\"3\""},
        {"attempts", "1e30"},
        {"attempts", "-1"},
        {"operation", ""},
        {"operation", "[]"},
        {"operation.diagnose", ""},
        {"operation.text", "5"},
        {"operation.screenshotPNG", "\"iVBORw=\""},
        {"operation.screenshotPNG", "\"iVBO Rw==\""},
        {"operation.submitterEmail", "false"},
        {"dedupKey", "5"},
    };
    for (const auto &damage : damages) {
        std::string text = "[";
        text.append(storedEntry()).append(",").append(storedEntry(damage.member, damage.value));
        text.append(",\"an entry?\",null,").append(storedEntry()).append("]");
        const auto read = RetryQueueFile::decode<FeedbackPayload>(text);
        EXPECT_TRUE(read.isEntryList);
        EXPECT_EQ(read.skipped, 3u) << damage.member << " " << damage.value;
        EXPECT_EQ(read.entries, (std::vector<Entry>(2, entry(idB, "kept", 2))));
    }
}

TEST(RetryQueueFile, TellsBytesThatAreNoJsonArray) {
    for (const char *text : {"", "not json", "{}", "3", "null", "[{", "[1,2", "\xff[]"}) {
        const auto read = RetryQueueFile::decode<FeedbackPayload>(text);
        EXPECT_FALSE(read.isEntryList) << text;
        EXPECT_TRUE(read.entries.empty());
    }
}

class RetryQueueFileOnDisk : public ::testing::Test {
protected:
    // 2026-03-10 14:25:01 UTC.
    static std::chrono::system_clock::time_point fixedNow() {
        return std::chrono::system_clock::time_point(std::chrono::seconds(1773152701));
    }

    TemporaryFolder temp;
    std::filesystem::path folder = temp.path() / "Tandrel";
    std::filesystem::path path = folder / "feedback_retry_queue.json";
    RetryQueueFile file{path, &fixedNow};
    std::vector<Entry> one{entry(idA, "new")};
};

TEST_F(RetryQueueFileOnDisk, AMissingFileIsAnEmptyQueueAndTheFirstWriteMakesItsFolder) {
    EXPECT_TRUE(file.load<FeedbackPayload>().empty());
    EXPECT_FALSE(std::filesystem::exists(folder));

    EXPECT_TRUE(file.save(one));
    EXPECT_EQ(RetryQueueFile::decode<FeedbackPayload>(contents(path)).entries, one);
    EXPECT_EQ(names(folder), std::vector<std::string>{"feedback_retry_queue.json"});
}

TEST_F(RetryQueueFileOnDisk, AFileWithADamagedEntryIsRewrittenWithTheOthers) {
    std::filesystem::create_directories(folder);
    put(path, "[" + storedEntry() + "," + storedEntry("attempts") + "]");

    std::vector<Entry> entries = file.load<FeedbackPayload>();
    EXPECT_EQ(entries, (std::vector<Entry>{entry(idB, "kept", 2)}));
    entries.push_back(one.front());
    EXPECT_TRUE(file.save(entries));
    EXPECT_EQ(RetryQueueFile::decode<FeedbackPayload>(contents(path)).entries, entries);
    EXPECT_EQ(names(folder), std::vector<std::string>{"feedback_retry_queue.json"});
}

// What cannot be taken in is never overwritten: the next write moves it aside first, once.
TEST_F(RetryQueueFileOnDisk, AFileThatIsNoArrayIsKeptAsideAtTheNextWrite) {
    std::filesystem::create_directories(folder);
    put(path, "{\"not\": \"a queue\"}");
    const std::string aside = "feedback_retry_queue.json.corrupt-20260310T142501Z";
    put(folder / aside, "an earlier one");

    EXPECT_TRUE(file.load<FeedbackPayload>().empty());
    EXPECT_EQ(contents(path), "{\"not\": \"a queue\"}");

    EXPECT_TRUE(file.save(one));
    EXPECT_EQ(names(folder), (std::vector<std::string>{"feedback_retry_queue.json", aside,
                                                       aside + "-2"}));
    EXPECT_EQ(contents(folder / (aside + "-2")), "{\"not\": \"a queue\"}");
    EXPECT_EQ(contents(folder / aside), "an earlier one");
    EXPECT_EQ(RetryQueueFile::decode<FeedbackPayload>(contents(path)).entries, one);

    EXPECT_TRUE(file.save(std::vector<Entry>{}));
    EXPECT_EQ(names(folder).size(), 3u);
    EXPECT_EQ(contents(path), "[]");
}

TEST_F(RetryQueueFileOnDisk, AnUnreadableFileIsKeptAsideToo) {
    // A folder where the file should be: it cannot be read, nor written over.
    std::filesystem::create_directories(path / "inside");

    EXPECT_TRUE(file.load<FeedbackPayload>().empty());
    EXPECT_TRUE(file.save(one));
    EXPECT_TRUE(std::filesystem::is_directory(
        folder / "feedback_retry_queue.json.corrupt-20260310T142501Z" / "inside"));
    EXPECT_EQ(RetryQueueFile::decode<FeedbackPayload>(contents(path)).entries, one);
}

// Whatever is written can be read back: entries beyond the reader's limit are not written,
// and the file keeps the entries it held.
TEST_F(RetryQueueFileOnDisk, WritesNothingTheReaderWouldRefuse) {
    const std::string fits = RetryQueueFile::encode(one);
    RetryQueueFile limited{path, &fixedNow, fits.size()};
    EXPECT_TRUE(limited.save(one));
    EXPECT_EQ(limited.load<FeedbackPayload>(), one);

    std::vector<Entry> more = one;
    more.push_back(entry(idB, "x"));
    EXPECT_FALSE(limited.save(more));
    EXPECT_EQ(contents(path), fits);
    EXPECT_EQ(limited.load<FeedbackPayload>(), one);
    EXPECT_EQ(names(folder), std::vector<std::string>{"feedback_retry_queue.json"});
}

TEST_F(RetryQueueFileOnDisk, AFailedWriteSaysSo) {
    put(temp.path() / "Tandrel", "a file where the folder should be");
    EXPECT_FALSE(file.save(one));
}

} // namespace
} // namespace tandrel
