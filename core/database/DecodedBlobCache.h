#pragma once

#include "core/database/BlobDecoder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tandrel {

// What earlier readings of the libraries decoded from the bytes of blobs, kept by those exact
// bytes, so that a reading after a save decodes only what the save changed: one clip renamed
// changes one or a few of the thousands of blobs a timeline's resolution reads, and decoding
// (the bounded check, the property-list parser, the conversion, the effect documents inside)
// is most of its work. A value is served from here only for bytes equal, byte for byte, to the
// bytes it was decoded from (the hash only finds the candidates), and only by the decoder that
// made it. Decoders must be pure functions of the bytes; a blob that does not decode is kept as
// one, since the same bytes fail the same way.
//
// Bounded by use: each reading begins with `beginReading()`, which lets go of what the reading
// before it did not use, so the cache holds at most what two readings in a row used. Not
// thread-safe: its owner serialises every call (the query resolver under its lock). The values
// it hands out are immutable and may outlive it.
class DecodedBlobCache {
public:
    using DecodedBlob = BlobDecoder::DecodedBlob;
    using Hash = std::function<uint64_t(std::string_view bytes)>;
    template <typename Value> using Decoder = Value (*)(std::span<const uint8_t> bytes);
    // Which decoder made a value.
    using DecoderTag = void (*)();

    // At most this many entries share one hash value; bytes that would be a further namesake
    // are decoded each time they are read, so that crafted blobs that collide cannot make each
    // look-up compare against all the others.
    static constexpr size_t maxNamesakes = 4;

    // `hash` for tests that need bytes to collide; the standard library's by default.
    explicit DecodedBlobCache(Hash hash = {});
    DecodedBlobCache(const DecodedBlobCache &) = delete;
    DecodedBlobCache &operator=(const DecodedBlobCache &) = delete;

    // Where bytes were read: a source (`sourceOf`) and a key in it, such as a collection of a
    // database. Bytes read at the same place as before are compared with what was decoded
    // there before without being hashed, which most of a reading after a save can do; what
    // is served is chosen by the bytes all the same.
    struct Place {
        uint64_t source = 0;
        int64_t key = 0;
        friend bool operator==(const Place &, const Place &) = default;
    };
    // The same number for the same name, for the life of the cache.
    uint64_t sourceOf(std::string_view name);

    // The blob decoded (`BlobDecoder::decode`); null when it does not decode.
    std::shared_ptr<const DecodedBlob> decode(std::span<const uint8_t> bytes,
                                              std::optional<Place> place = std::nullopt);

    // What `decoder` makes of the bytes, kept from an earlier call with the same decoder and
    // bytes or made now. A failure of the decoder reaches the caller and is not kept.
    template <typename Value>
    std::shared_ptr<const Value> decode(std::span<const uint8_t> bytes, Decoder<Value> decoder,
                                        std::optional<Place> place = std::nullopt) {
        const auto tag = reinterpret_cast<DecoderTag>(decoder);
        auto made = find(bytes, tag, place);
        if (!made) {
            made = keep(bytes, tag, place, std::make_shared<const Value>(decoder(bytes)));
        }
        return std::static_pointer_cast<const Value>(made);
    }

    // Starts a reading: the entries that the reading now ending did not use are let go.
    void beginReading();

    // Entries kept, and the bytes they were decoded from.
    size_t size() const { return size_; }
    size_t keptBytes() const { return keptBytes_; }
    // Look-ups served from the cache since its creation.
    uint64_t hits() const { return hits_; }

private:
    struct Entry {
        DecoderTag decoder = nullptr;
        std::unique_ptr<uint8_t[]> bytes;
        size_t size = 0;
        std::shared_ptr<const void> value;
        uint64_t lastReading = 0;

        std::string_view view() const {
            return {reinterpret_cast<const char *>(bytes.get()), size};
        }
    };

    struct PlaceOfDecoder {
        Place place;
        DecoderTag decoder = nullptr;
        friend bool operator==(const PlaceOfDecoder &, const PlaceOfDecoder &) = default;
    };
    struct PlaceHash {
        size_t operator()(const PlaceOfDecoder &p) const;
    };

    uint64_t keyOf(std::string_view bytes, DecoderTag decoder) const;
    // The kept value (marked as used by this reading), or null.
    std::shared_ptr<const void> find(std::span<const uint8_t> bytes, DecoderTag decoder,
                                     std::optional<Place> place);
    // Keeps `value` unless the bytes' hash has all its namesakes; returns it.
    std::shared_ptr<const void> keep(std::span<const uint8_t> bytes, DecoderTag decoder,
                                     std::optional<Place> place, std::shared_ptr<const void> value);
    Entry *use(Entry &entry, DecoderTag decoder, std::optional<Place> place);

    Hash hash_;
    // Entries stay where they are made, so that places can point at them.
    std::unordered_map<uint64_t, std::vector<std::unique_ptr<Entry>>> byHash_;
    // The entry last served for bytes read at a place.
    std::unordered_map<PlaceOfDecoder, Entry *, PlaceHash> byPlace_;
    std::map<std::string, uint64_t, std::less<>> sources_;
    uint64_t reading_ = 0;
    size_t size_ = 0;
    size_t keptBytes_ = 0;
    uint64_t hits_ = 0;
};

} // namespace tandrel
