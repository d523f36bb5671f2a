// Feeds arbitrary bytes to the reader of the feedback retry queue's file. Reading never fails:
// it keeps the well-formed entries and skips the rest. What was kept must write again and read
// back whole and unchanged, so that a file the queue has written is always taken in entirely.

#include "host/feedback/FeedbackPayload.h"
#include "host/feedback/RetryQueueFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace tandrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto read = RetryQueueFile::decode<FeedbackPayload>(
        std::string_view(reinterpret_cast<const char *>(data), size));
    if (!read.isEntryList && (!read.entries.empty() || read.skipped != 0)) {
        std::abort();
    }
    const std::string text = RetryQueueFile::encode(read.entries);
    const auto reread = RetryQueueFile::decode<FeedbackPayload>(text);
    if (!reread.isEntryList || reread.skipped != 0 || reread.entries != read.entries ||
        RetryQueueFile::encode(reread.entries) != text) {
        std::abort();
    }
    return 0;
}
