#pragma once

#include "core/support/Json.h"
#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"
#include "core/support/Uuid.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tandrel {

// One operation waiting in a persistent retry queue. The id is given when the entry is made
// and never changes; `attempts` counts the failed attempts so far.
//
// JSON: "id" (upper-case UUID text), "operation" (as the operation codes itself), "dedupKey"
// only when there is a key, "attempts"; reading requires all but the key and ignores other
// members. A count below 0 makes the entry malformed: no failures can be counted that way, and
// such an entry would be tried almost for ever at the shortest pause, blocking those behind it.
template <typename Operation> struct RetryQueueEntry {
    Uuid id;
    Operation operation{};
    std::optional<std::string> dedupKey;
    int64_t attempts = 0;

    friend bool operator==(const RetryQueueEntry &, const RetryQueueEntry &) = default;

    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("id", self.id);
        visit("operation", self.operation);
        visit("dedupKey", self.dedupKey);
        visit("attempts", self.attempts);
    }
};

template <typename Operation> void to_json(Json &json, const RetryQueueEntry<Operation> &entry) {
    json = JsonWriter::record(entry);
}

template <typename Operation> void from_json(const Json &json, RetryQueueEntry<Operation> &entry) {
    RetryQueueEntry<Operation> read;
    RetryQueueEntry<Operation>::forEachMember(read, JsonReader(json, "RetryQueueEntry"));
    if (read.attempts < 0) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, "attempts below 0", "attempts");
    }
    entry = std::move(read);
}

} // namespace tandrel
