#include "core/database/AssetStore.h"

#include "core/database/BlobDecoder.h"
#include "core/database/LibraryScanner.h"
#include "core/model/TimecodeCalculator.h"
#include "core/support/Numeric.h"
#include "core/support/TextSplit.h"

#include <limits>

namespace tandrel {

namespace {

// The asset's frame rate from its frame duration ("1001/24000": seconds per frame).
std::optional<FrameRate> rateFromFrameDuration(const std::optional<std::string> &text) {
    if (!text) {
        return std::nullopt;
    }
    const auto fraction = AssetStore::parseFraction(*text);
    if (!fraction || fraction->second < std::numeric_limits<int32_t>::min() ||
        fraction->second > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return FrameRate::from(fraction->first, static_cast<int32_t>(fraction->second));
}

// Seconds to frames, rounded half up and cut toward zero; a count that does not fit reads as
// a missing value.
int64_t framesFromSeconds(double seconds, double fps) {
    return truncateToInt64(seconds * fps + 0.5).value_or(0);
}

} // namespace

std::optional<AssetStore::SourceAsset> AssetStore::resolve(std::string_view mediaIdentifier) const {
    auto it = assets_.find(std::string(mediaIdentifier));
    if (it == assets_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::pair<int64_t, int64_t>> AssetStore::parseFraction(std::string_view text) {
    const auto pieces = splitNonEmpty(text, "/");
    if (pieces.size() != 2) {
        return std::nullopt;
    }
    const auto num = parseDecimalInt64(pieces[0]);
    const auto den = parseDecimalInt64(pieces[1]);
    if (!num || !den || *den == 0) {
        return std::nullopt;
    }
    return std::pair{*num, *den};
}

void AssetStore::loadAssets(FCPDatabaseConnection &db) {
    for (const auto &row : db.fetchCollections("FFAsset")) {
        if (!row.blob) {
            continue;
        }
        std::optional<BlobDecoder::DecodedBlob> decoded;
        try {
            decoded = BlobDecoder::decode(*row.blob);
        } catch (const std::exception &) {
            continue;
        }
        const auto &blob = *decoded;
        auto identifier = blob.string("mediaIdentifier");
        if (!identifier) {
            continue;
        }
        SourceAsset asset;
        asset.fileName = blob.string("displayName").value_or("Unknown");
        asset.mediaIdentifier = *identifier;
        const auto range = blob.string("mediaRange");
        if (auto parsed =
                range ? TimecodeCalculator::parseCMTimeRangeString(*range) : std::nullopt) {
            asset.frameRate = rateFromFrameDuration(blob.string("timecodeFrameDuration"));
            double fps = 24.0;
            if (asset.frameRate) {
                const auto rational = asset.frameRate->rational();
                fps = static_cast<double>(rational.num) / static_cast<double>(rational.den);
            }
            asset.sourceStartFrames = framesFromSeconds(parsed->start, fps);
            asset.durationFrames = framesFromSeconds(parsed->duration, fps);
        }
        asset.isDropFrame = blob.integer("timecodeDisplayDropFrame").value_or(0) != 0;
        asset.videoFormatName = blob.string("videoFormatName");
        asset.hasVideo = blob.boolean("hasVideo").value_or(false);
        asset.hasAudio = blob.boolean("hasAudio").value_or(false);
        asset.audioSampleRate = blob.real("audioSampleRate");
        assets_.insert_or_assign(asset.mediaIdentifier, std::move(asset));
    }
}

void AssetStore::loadAllAssets(const std::filesystem::path &libraryURL) {
    for (const auto &database : LibraryScanner::findMediaFilesDatabases(libraryURL)) {
        std::optional<FCPDatabaseConnection> db;
        try {
            db.emplace(database.string());
        } catch (const FCPDatabaseError &) {
            continue;
        }
        loadAssets(*db);
    }
}

} // namespace tandrel
