#include "core/database/BlobDecoder.h"

#include "core/database/PropertyListReader.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

namespace tandrel {

namespace {

constexpr std::string_view keysKey = "NS.keys";
constexpr std::string_view objectsKey = "NS.objects";

// The archive's object list, its objects converted as they are read.
std::unique_ptr<PropertyListReader::ListedItems> objectList(std::span<const uint8_t> blob) {
    auto objects = std::make_unique<PropertyListReader::ListedItems>(blob);
    if (!objects->topIsDictionary()) {
        throw BlobDecoderError(BlobDecoderError::Case::invalidPlist);
    }
    if (!objects->list("$objects")) {
        throw BlobDecoderError(BlobDecoderError::Case::missingObjects);
    }
    if (objects->size() < 2) {
        throw BlobDecoderError(BlobDecoderError::Case::emptyBlob);
    }
    return objects;
}

// A value resolved one level: a usable reference becomes its object, an unusable one
// nothing, and a non-reference stays as it is.
template <typename Objects>
std::optional<PlistValue> resolveOnce(const PlistValue &value, const Objects &objects) {
    if (!BlobDecoder::referenceIndex(value)) {
        return value;
    }
    if (auto index = BlobDecoder::uidIndex(value, objects.size())) {
        return objects[*index];
    }
    return std::nullopt;
}

// Counts characters, not bytes, so that identifiers written in any script are measured as
// text.
size_t characterCount(std::string_view text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool isIdentifier(const PlistValue &value) {
    const std::string *text = value.asString();
    return text && characterCount(*text) == 36 && std::count(text->begin(), text->end(), '-') == 4;
}

} // namespace

BlobDecoder::DecodedBlob::DecodedBlob(size_t objectCount, std::vector<std::string> rootKeys,
                                      std::vector<PlistValue> rootValues)
    : objectCount_(objectCount), rootKeys_(std::move(rootKeys)),
      rootValues_(std::move(rootValues)) {
    // A root holds a handful of keys: a sorted list of positions finds one faster, and
    // smaller, than a hash map of copies.
    const size_t pairs = std::min(rootKeys_.size(), rootValues_.size());
    byKey_.resize(pairs);
    for (size_t i = 0; i < pairs; ++i) {
        byKey_[i] = static_cast<uint32_t>(i);
    }
    // Stable, then the last of each run of equal keys: the later pair wins.
    std::stable_sort(byKey_.begin(), byKey_.end(),
                     [this](uint32_t a, uint32_t b) { return rootKeys_[a] < rootKeys_[b]; });
    size_t kept = 0;
    for (size_t i = 0; i < byKey_.size(); ++i) {
        if (i + 1 < byKey_.size() && rootKeys_[byKey_[i]] == rootKeys_[byKey_[i + 1]]) {
            continue;
        }
        byKey_[kept++] = byKey_[i];
    }
    byKey_.resize(kept);
}

std::unordered_map<std::string, PlistValue> BlobDecoder::DecodedBlob::keyValueMap() const {
    std::unordered_map<std::string, PlistValue> map;
    for (uint32_t i : byKey_) {
        map.emplace(rootKeys_[i], rootValues_[i]);
    }
    return map;
}

const PlistValue *BlobDecoder::DecodedBlob::value(std::string_view key) const {
    const auto found =
        std::lower_bound(byKey_.begin(), byKey_.end(), key, [this](uint32_t i, std::string_view k) {
            return std::string_view(rootKeys_[i]) < k;
        });
    if (found == byKey_.end() || rootKeys_[*found] != key) {
        return nullptr;
    }
    return &rootValues_[*found];
}

bool BlobDecoder::DecodedBlob::hasKey(std::string_view key) const {
    return value(key);
}

std::optional<std::string> BlobDecoder::DecodedBlob::string(std::string_view key) const {
    const PlistValue *v = value(key);
    return v ? v->stringValue() : std::nullopt;
}

std::optional<int64_t> BlobDecoder::DecodedBlob::integer(std::string_view key) const {
    const PlistValue *v = value(key);
    return v ? v->integerValue() : std::nullopt;
}

std::optional<bool> BlobDecoder::DecodedBlob::boolean(std::string_view key) const {
    const PlistValue *v = value(key);
    return v ? v->boolValue() : std::nullopt;
}

std::optional<double> BlobDecoder::DecodedBlob::real(std::string_view key) const {
    const PlistValue *v = value(key);
    return v ? v->doubleValue() : std::nullopt;
}

const Bytes *BlobDecoder::DecodedBlob::data(std::string_view key) const {
    const PlistValue *v = value(key);
    return v ? v->asData() : nullptr;
}

const PlistValue::Dictionary *BlobDecoder::DecodedBlob::dictionary(std::string_view key) const {
    const PlistValue *v = value(key);
    return v ? v->asDictionary() : nullptr;
}

const PlistValue::Array *BlobDecoder::DecodedBlob::array(std::string_view key) const {
    const PlistValue *v = value(key);
    return v ? v->asArray() : nullptr;
}

std::optional<int64_t> BlobDecoder::referenceIndex(const PlistValue &value) {
    if (const PlistValue *uid = value.find("CF$UID")) {
        if (const int64_t *index = uid->asInteger()) {
            return *index;
        }
        return std::nullopt;
    }
    if (auto index = value.asUID()) {
        // Indices beyond the signed range cannot be usable; keep them out of range.
        return *index > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(*index);
    }
    return std::nullopt;
}

std::optional<size_t> BlobDecoder::uidIndex(const PlistValue &value, size_t objectCount) {
    auto index = referenceIndex(value);
    if (!index || *index < 0 || static_cast<uint64_t>(*index) >= objectCount) {
        return std::nullopt;
    }
    return static_cast<size_t>(*index);
}

namespace {

template <typename Objects>
PlistValue::Dictionary resolvedDictionary(const PlistValue &archived, const Objects &objects) {
    PlistValue::Dictionary result;
    const PlistValue *keys = archived.find(keysKey);
    const PlistValue *values = archived.find(objectsKey);
    if (!keys || !values || !keys->asArray() || !values->asArray()) {
        return result;
    }
    const auto &keyList = *keys->asArray();
    const auto &valueList = *values->asArray();
    for (size_t i = 0; i < std::min(keyList.size(), valueList.size()); ++i) {
        auto key = resolveOnce(keyList[i], objects);
        auto value = resolveOnce(valueList[i], objects);
        if (!key || !value || !key->asString()) {
            continue;
        }
        result.insert_or_assign(*key->asString(), std::move(*value));
    }
    return result;
}

template <typename Objects>
PlistValue::Array resolvedArray(const PlistValue &archived, const Objects &objects) {
    PlistValue::Array result;
    const PlistValue *items = archived.find(objectsKey);
    if (!items || !items->asArray()) {
        return result;
    }
    result.reserve(items->asArray()->size());
    for (const PlistValue &item : *items->asArray()) {
        if (auto resolved = resolveOnce(item, objects)) {
            result.push_back(std::move(*resolved));
        }
    }
    return result;
}

} // namespace

BlobDecoder::DecodedBlob BlobDecoder::decode(std::span<const uint8_t> blob) {
    const auto list = objectList(blob);
    const PropertyListReader::ListedItems &objects = *list;
    const PlistValue &root = objects[1];
    const PlistValue *keys = root.find(keysKey);
    const PlistValue *values = root.find(objectsKey);
    if (!root.asDictionary() || !keys || !values || !keys->asArray() || !values->asArray()) {
        throw BlobDecoderError(BlobDecoderError::Case::invalidRoot);
    }
    std::vector<std::string> rootKeys;
    std::vector<PlistValue> rootValues;
    const auto &keyList = *keys->asArray();
    const auto &valueList = *values->asArray();
    rootKeys.reserve(std::min(keyList.size(), valueList.size()));
    rootValues.reserve(rootKeys.capacity());
    for (size_t i = 0; i < std::min(keyList.size(), valueList.size()); ++i) {
        auto key = resolveOnce(keyList[i], objects);
        if (!key || !key->asString()) {
            continue;
        }
        // An unusable value reference keeps its key with the null marker.
        PlistValue value = resolveOnce(valueList[i], objects).value_or(PlistValue());
        if (value.find(keysKey)) {
            value = PlistValue::dictionary(resolvedDictionary(value, objects));
        } else if (value.find(objectsKey)) {
            value = PlistValue::array(resolvedArray(value, objects));
        }
        rootKeys.push_back(*key->asString());
        rootValues.push_back(std::move(value));
    }
    return DecodedBlob(objects.size(), std::move(rootKeys), std::move(rootValues));
}

std::vector<std::string> BlobDecoder::orderedChildIdentifiers(std::span<const uint8_t> blob) {
    std::vector<std::string> result;
    try {
        const auto list = objectList(blob);
        const PropertyListReader::ListedItems &objects = *list;
        const PlistValue *rootItems = objects[1].find(objectsKey);
        if (!rootItems || !rootItems->asArray()) {
            return result;
        }
        // Depth-first over references, each object index once, with an explicit stack so that
        // no archive can exhaust the call stack. A frame walks one list of references.
        std::unordered_set<size_t> visited;
        std::vector<std::pair<const PlistValue::Array *, size_t>> stack{{rootItems->asArray(), 0}};
        while (!stack.empty()) {
            auto &[list, next] = stack.back();
            if (next == list->size()) {
                stack.pop_back();
                continue;
            }
            const PlistValue &element = (*list)[next++];
            auto index = uidIndex(element, objects.size());
            if (!index || !visited.insert(*index).second) {
                continue;
            }
            const PlistValue &object = objects[*index];
            if (isIdentifier(object)) {
                result.push_back(*object.asString());
                continue;
            }
            if (!object.asDictionary()) {
                continue;
            }
            // Values come before keys: push keys first so that values are walked first.
            const PlistValue *keys = object.find(keysKey);
            const PlistValue *values = object.find(objectsKey);
            if (keys && keys->asArray()) {
                stack.emplace_back(keys->asArray(), 0);
            }
            if (values && values->asArray()) {
                stack.emplace_back(values->asArray(), 0);
            }
        }
    } catch (const std::exception &) {
        result.clear();
    }
    return result;
}

} // namespace tandrel
