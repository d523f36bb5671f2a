#include "core/database/DecodedBlobCache.h"

#include "core/database/PropertyListReader.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace tandrel {

namespace {

// Bytes that are no archive are a fact of the bytes, kept like any decoded value. Other
// failures (running out of memory) are not, and reach the caller.
std::optional<BlobDecoder::DecodedBlob> decodedOrNothing(std::span<const uint8_t> bytes) {
    try {
        return BlobDecoder::decode(bytes);
    } catch (const BlobDecoderError &) {
    } catch (const PropertyListError &) {
    }
    return std::nullopt;
}

std::string_view viewOf(std::span<const uint8_t> bytes) {
    return {reinterpret_cast<const char *>(bytes.data()), bytes.size()};
}

} // namespace

DecodedBlobCache::DecodedBlobCache(Hash hash) : hash_(std::move(hash)) {
    if (!hash_) {
        hash_ = [](std::string_view bytes) { return std::hash<std::string_view>{}(bytes); };
    }
}

uint64_t DecodedBlobCache::sourceOf(std::string_view name) {
    const auto found = sources_.find(name);
    if (found != sources_.end()) {
        return found->second;
    }
    return sources_.emplace(std::string(name), sources_.size() + 1).first->second;
}

std::shared_ptr<const DecodedBlobCache::DecodedBlob>
DecodedBlobCache::decode(std::span<const uint8_t> bytes, std::optional<Place> place) {
    const auto decoded = decode(bytes, &decodedOrNothing, place);
    if (!decoded->has_value()) {
        return nullptr;
    }
    // Shares the kept value's ownership.
    return {decoded, &**decoded};
}

size_t DecodedBlobCache::PlaceHash::operator()(const PlaceOfDecoder &p) const {
    return std::hash<uint64_t>{}(p.place.source * 0x9E3779B97F4A7C15ull ^
                                 static_cast<uint64_t>(p.place.key)) ^
           std::hash<DecoderTag>{}(p.decoder);
}

uint64_t DecodedBlobCache::keyOf(std::string_view bytes, DecoderTag decoder) const {
    // Different decoders of the same bytes land apart.
    return hash_(bytes) ^ (std::hash<DecoderTag>{}(decoder)*0x9E3779B97F4A7C15ull);
}

DecodedBlobCache::Entry *DecodedBlobCache::use(Entry &entry, DecoderTag decoder,
                                               std::optional<Place> place) {
    entry.lastReading = reading_;
    if (place) {
        byPlace_[{*place, decoder}] = &entry;
    }
    return &entry;
}

std::shared_ptr<const void> DecodedBlobCache::find(std::span<const uint8_t> bytes,
                                                   DecoderTag decoder, std::optional<Place> place) {
    const std::string_view view = viewOf(bytes);
    if (place) {
        const auto there = byPlace_.find({*place, decoder});
        if (there != byPlace_.end() && there->second->view() == view) {
            ++hits_;
            return use(*there->second, decoder, std::nullopt)->value;
        }
    }
    const auto namesakes = byHash_.find(keyOf(view, decoder));
    if (namesakes == byHash_.end()) {
        return nullptr;
    }
    for (const auto &entry : namesakes->second) {
        if (entry->decoder == decoder && entry->view() == view) {
            ++hits_;
            return use(*entry, decoder, place)->value;
        }
    }
    return nullptr;
}

std::shared_ptr<const void> DecodedBlobCache::keep(std::span<const uint8_t> bytes,
                                                   DecoderTag decoder, std::optional<Place> place,
                                                   std::shared_ptr<const void> value) {
    auto &namesakes = byHash_[keyOf(viewOf(bytes), decoder)];
    if (namesakes.size() >= maxNamesakes) {
        return value;
    }
    auto entry = std::make_unique<Entry>();
    entry->decoder = decoder;
    entry->bytes = std::make_unique_for_overwrite<uint8_t[]>(bytes.size());
    if (!bytes.empty()) {
        std::memcpy(entry->bytes.get(), bytes.data(), bytes.size());
    }
    entry->size = bytes.size();
    entry->value = value;
    use(*entry, decoder, place);
    namesakes.push_back(std::move(entry));
    ++size_;
    keptBytes_ += bytes.size();
    return value;
}

void DecodedBlobCache::beginReading() {
    const auto unused = [&](const Entry &entry) { return entry.lastReading != reading_; };
    // Places point only at kept entries: the places of those about to go are dropped first.
    std::erase_if(byPlace_, [&](const auto &place) { return unused(*place.second); });
    for (auto it = byHash_.begin(); it != byHash_.end();) {
        auto &namesakes = it->second;
        const auto gone = std::partition(namesakes.begin(), namesakes.end(),
                                         [&](const auto &entry) { return !unused(*entry); });
        for (auto entry = gone; entry != namesakes.end(); ++entry) {
            --size_;
            keptBytes_ -= (*entry)->size;
        }
        namesakes.erase(gone, namesakes.end());
        it = namesakes.empty() ? byHash_.erase(it) : std::next(it);
    }
    ++reading_;
}

} // namespace tandrel
