#pragma once

#include "core/support/Json.h"
#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "host/feedback/RetryQueueEntry.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// The file that keeps a retry queue's pending entries across runs: compact UTF-8 JSON, an
// array of entries in queue order, replaced whole on every write. It holds the user's words,
// so it is the user's alone (0600, in a folder made 0700), also after a write over a file
// that others could read.
//
// Reading keeps every well-formed entry and skips the others, so one damaged entry costs only
// itself. A file that cannot be read or holds no JSON array is not overwritten: the next write
// first renames it aside, to "<name>.corrupt-<UTC time>" ("...json.corrupt-20260310T142501Z"),
// where the user can still find what it held. A missing file is an empty queue. A file or
// folder that is not the user's alone (another user's, or one others may write) is neither read
// nor written: what another user put there is not the user's feedback, and is never sent under
// their name. No failure leaves this class; writes report whether the file now holds the
// entries.
class RetryQueueFile {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // What the bytes of a queue file hold.
    template <typename Operation> struct Contents {
        std::vector<RetryQueueEntry<Operation>> entries;
        // False when the bytes are no JSON array at all.
        bool isEntryList = true;
        // Members of the array that are no well-formed entry.
        std::size_t skipped = 0;
    };

    // Files beyond this size are not read (and so are set aside), nor written.
    static constexpr std::size_t maxFileBytes = std::size_t{512} << 20;

    // `maxBytes`: the size limit of reading and writing alike.
    explicit RetryQueueFile(std::filesystem::path path,
                            Clock clock = &std::chrono::system_clock::now,
                            std::size_t maxBytes = maxFileBytes);

    const std::filesystem::path &path() const { return path_; }
    // Why the file is neither read nor written, once a read or a write found that it, or its
    // folder, is not the user's alone; empty otherwise.
    const std::string &refusal() const { return refusal_; }

    template <typename Operation> std::vector<RetryQueueEntry<Operation>> load() {
        std::string bytes;
        switch (readBytes(bytes)) {
        case Read::absent:
        case Read::refused:
            return {};
        case Read::unreadable:
            setAsideBeforeNextWrite("cannot be read");
            return {};
        case Read::read:
            break;
        }
        Contents<Operation> contents = decode<Operation>(bytes);
        if (!contents.isEntryList) {
            setAsideBeforeNextWrite("holds no JSON array");
        } else if (contents.skipped > 0) {
            reportSkipped(contents.skipped);
        }
        return std::move(contents.entries);
    }

    // `entries`: any range of RetryQueueEntry, in queue order. Entries that together exceed
    // the size limit are not written: the next run could not read them back and would set the
    // file aside with every entry in it; the file keeps what it held.
    template <typename Entries> bool save(const Entries &entries) {
        std::string bytes;
        try {
            bytes = encode(entries);
        } catch (const EncodingError &) {
            return false;
        }
        if (bytes.size() > maxBytes_) {
            reportTooLarge(bytes.size());
            return false;
        }
        return writeBytes(bytes);
    }

    template <typename Operation> static Contents<Operation> decode(std::string_view bytes) {
        Contents<Operation> contents;
        Json json;
        try {
            json = parseJsonText(bytes);
        } catch (const DecodingError &) {
            contents.isEntryList = false;
            return contents;
        }
        if (!json.is_array()) {
            contents.isEntryList = false;
            return contents;
        }
        for (const Json &member : json) {
            try {
                contents.entries.push_back(decodeJsonValue<RetryQueueEntry<Operation>>(member));
            } catch (const DecodingError &) {
                ++contents.skipped;
            }
        }
        return contents;
    }

    // Fails with EncodingError when an operation cannot be written.
    template <typename Entries> static std::string encode(const Entries &entries) {
        Json array = Json::array();
        for (const auto &entry : entries) {
            array.push_back(Json(entry));
        }
        return encodeJsonText(array);
    }

private:
    enum class Read { absent, unreadable, refused, read };

    Read readBytes(std::string &bytes);
    void refuse(const std::string &why);
    bool writeBytes(std::string_view bytes);
    void setAsideBeforeNextWrite(std::string_view reason);
    bool moveAside();
    void reportSkipped(std::size_t count) const;
    void reportTooLarge(std::size_t byteCount) const;

    std::filesystem::path path_;
    Clock clock_;
    std::size_t maxBytes_;
    bool setAside_ = false;
    std::string refusal_;
};

} // namespace tandrel
