#pragma once

#include "core/database/BlobDecoderError.h"
#include "core/database/PlistValue.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tandrel {

// Reads the keyed-archive blobs of the library's collections by hand: no class is ever
// instantiated from them. Only the root dictionary is resolved, one level deep, and only the
// objects it reaches that deep are converted. Pure functions.
struct BlobDecoder {
    // The root dictionary of one archive, its keys and values resolved one level.
    class DecodedBlob {
    public:
        DecodedBlob(size_t objectCount, std::vector<std::string> rootKeys,
                    std::vector<PlistValue> rootValues);

        // The length of the archive's object list.
        size_t objectCount() const { return objectCount_; }
        const std::vector<std::string> &rootKeys() const { return rootKeys_; }
        const std::vector<PlistValue> &rootValues() const { return rootValues_; }
        // Keys paired with values; of two equal keys the later pair wins.
        std::unordered_map<std::string, PlistValue> keyValueMap() const;

        // The typed getters: nothing when the key is missing or its value is not of (or does
        // not convert exactly to) the kind asked for. `boolean` and `real` are the getters
        // for booleans and doubles.
        std::optional<std::string> string(std::string_view key) const;
        std::optional<int64_t> integer(std::string_view key) const;
        std::optional<bool> boolean(std::string_view key) const;
        std::optional<double> real(std::string_view key) const;
        const Bytes *data(std::string_view key) const;
        const PlistValue::Dictionary *dictionary(std::string_view key) const;
        const PlistValue::Array *array(std::string_view key) const;
        // Present also when its value is the null marker.
        bool hasKey(std::string_view key) const;
        const PlistValue *value(std::string_view key) const;

    private:
        size_t objectCount_ = 0;
        std::vector<std::string> rootKeys_;
        std::vector<PlistValue> rootValues_;
        // Positions in the root lists by key, sorted by key; of equal keys the later only.
        std::vector<uint32_t> byKey_;
    };

    // Fails with `BlobDecoderError`, or with `PropertyListError` when the bytes are not a
    // property list at all.
    static DecodedBlob decode(std::span<const uint8_t> blob);

    // The identifiers (36-character texts with four hyphens) the archive lists, each once, in
    // depth-first archive order starting at the root's "NS.objects". Never fails: any problem
    // gives an empty list.
    static std::vector<std::string> orderedChildIdentifiers(std::span<const uint8_t> blob);

    // The index a keyed-archive reference points at (a UID value or a dictionary with an
    // integer "CF$UID"), or nothing for any other value.
    static std::optional<int64_t> referenceIndex(const PlistValue &value);
    // The reference's index when it is usable with `objectCount` objects.
    static std::optional<size_t> uidIndex(const PlistValue &value, size_t objectCount);
};

} // namespace tandrel
