#include "core/snapshot/SnapshotWriter.h"

#include "core/snapshot/SnapshotLimits.h"
#include "core/snapshot/SnapshotTexts.h"
#include "core/support/ApplicationSupport.h"
#include "core/support/AtomicFileWriter.h"
#include "core/support/JsonText.h"
#include "core/support/Log.h"
#include "core/support/Numeric.h"
#include "core/support/PrivateFolder.h"
#include "core/support/UnicodeText.h"

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "snapshot");
}

// Frames and 1/240000 s units of an edit entry that leave the 64-bit range, or any time,
// speed or frame that is not finite.
struct OutOfRange {};

int64_t rounded(double value) {
    const std::optional<int64_t> result = roundToInt64(value);
    if (!result) {
        throw OutOfRange{};
    }
    return *result;
}

int64_t sum(int64_t a, int64_t b) {
    int64_t result = 0;
    if (__builtin_add_overflow(a, b, &result)) {
        throw OutOfRange{};
    }
    return result;
}

double finite(double value) {
    if (!std::isfinite(value)) {
        throw OutOfRange{};
    }
    return value;
}

RationalTime snapshotTime(double seconds) {
    return {rounded(seconds * RationalTime::snapshotTimescale), RationalTime::snapshotTimescale};
}

template <typename T> std::optional<T> unlessEmpty(const T &values) {
    return values.empty() ? std::nullopt : std::optional<T>(values);
}

} // namespace

std::filesystem::path SnapshotWriter::legacySnapshotURL() {
    return applicationSupportDirectory() / "Tandrel" / "current.json";
}

namespace {

void writeText(const TandrelSnapshot &snapshot, const std::string &text) {
    const std::filesystem::path path = SnapshotWriter::legacySnapshotURL();
    try {
        AtomicFileWriter::write(path, text, FileAccess::userOnly);
    } catch (const std::system_error &error) {
        log()->error("Snapshot '{}' not written: {}", shownLine(snapshot.timelineName, 120),
                     error.what());
        throw;
    }
    log()->info("Wrote snapshot '{}' ({} entries) to {}", shownLine(snapshot.timelineName, 120),
                snapshot.entries.size(), path.string());
}

} // namespace

void SnapshotWriter::write(const TandrelSnapshot &snapshot) {
    TandrelSnapshot written = snapshot;
    SnapshotTexts::boundDocument(written);
    writeText(snapshot, encodeJsonText(Json(written)));
}

void SnapshotWriter::writeEncoded(const TandrelSnapshot &snapshot, SnapshotEncoder &encoder) {
    writeText(snapshot, encoder.encode(snapshot));
}

void SnapshotWriter::clear() noexcept {
    try {
        const std::filesystem::path path = legacySnapshotURL();
        // Only from the user's own folder: a file in another user's is not ours to remove.
        const PrivateFolder folder =
            PrivateFolder::open(path.parent_path(), PrivateFolder::Missing::fail);
        std::error_code ignored;
        folder.remove(path.filename().string(), ignored);
    } catch (const NotOursError &error) {
        // Once per reason: a host without a timeline clears at every status change.
        static std::mutex lock;
        static std::string told;
        const std::lock_guard guard(lock);
        if (told != error.what()) {
            told = error.what();
            log()->error("Snapshot not removed: {}", error.what());
        }
    } catch (...) {
        // Nothing to report: without a home folder or a folder there is no file either.
    }
}

std::vector<SnapshotEntry> SnapshotWriter::snapshotEntries(const EditEntry &from) {
    const bool unresolved = !from.frameRate;
    const FrameRate rate = from.frameRate.value_or(FrameRate::fps24);
    const double fps = rate.fps();
    const FrameRate::Rational fraction = rate.rational();

    try {
        int64_t base = sum(from.sourceStartTC, rounded(fps * from.sourceIn));
        const double speed = finite(from.speedRate.value_or(1.0));
        double signedSpeed = speed;
        if (from.isReversed) {
            // A reversed clip shows the end of its used source range first. A standing clip
            // has no direction, so its speed keeps the value 0.
            signedSpeed = speed == 0 ? speed : -speed;
            base = sum(base, rounded(fps * (speed * (from.timelineOut - from.timelineIn))));
        }

        std::vector<EditEntry::DisplaySegment> wholeEntry;
        if (from.displaySegments.empty()) {
            wholeEntry.push_back({.start = from.timelineIn, .end = from.timelineOut});
        }
        const auto &segments = from.displaySegments.empty() ? wholeEntry : from.displaySegments;

        std::optional<std::vector<SnapshotTimeMapKeypoint>> keypoints;
        if (from.timeMapKeypoints) {
            keypoints.emplace();
            for (const TimeMapKeypoint &keypoint : *from.timeMapKeypoints) {
                keypoints->push_back({finite(keypoint.timelineSeconds - from.timelineIn),
                                      finite(keypoint.sourceSeconds)});
            }
        }

        // What every stretch of the entry shares, its texts kept once for all of them.
        const FCPMetadata shared = metadata(from, rate);
        std::vector<SnapshotEntry> result;
        result.reserve(segments.size());
        for (const EditEntry::DisplaySegment &segment : segments) {
            const double offset = finite(segment.start - from.timelineIn);
            SnapshotEntry snapshotEntry{{
                .tlStart = snapshotTime(segment.start),
                .tlEnd = snapshotTime(segment.end),
                .srcStartFrame = sum(base, rounded(signedSpeed * (fps * offset))),
                .srcSpeed = signedSpeed,
                .srcRate = std::string(rate.timecodeRateString()),
                .srcFpsNum = fraction.num,
                .srcFpsDen = fraction.den,
                .srcTimeMapKeypoints = keypoints,
                .srcRateUnresolved = unresolved ? std::optional<bool>(true) : std::nullopt,
                .metadata = shared,
            }};
            FCPMetadata &record = snapshotEntry.metadata;
            record.stackedVideoClips = unlessEmpty(segment.stackedVideoClips);
            record.activeRoleClips = unlessEmpty(segment.activeRoleClips);
            record.stackedLayers = unlessEmpty(segment.stackedLayers);
            SnapshotTexts::boundAll(record.stackedVideoClips);
            SnapshotTexts::boundAll(record.activeRoleClips);
            SnapshotTexts::boundAll(record.stackedLayers);
            if (snapshotEntry.srcTimeMapKeypoints) {
                for (SnapshotTimeMapKeypoint &keypoint : *snapshotEntry.srcTimeMapKeypoints) {
                    keypoint.timelineSeconds = finite(keypoint.timelineSeconds - offset);
                }
            }
            // The plug-in refuses a whole document for one entry beyond its bounds.
            try {
                SnapshotLimits::checkEntry(snapshotEntry);
            } catch (const DecodingError &error) {
                log()->error("Left '{}' (item {}) at {} s out of the snapshot: {}",
                             shownLine(from.clipName, shownNameCharacters), from.collectionPK,
                             segment.start, error.what());
                continue;
            }
            result.push_back(std::move(snapshotEntry));
        }
        return result;
    } catch (const OutOfRange &) {
        log()->error("Left '{}' (item {}) out of the snapshot: its timing is out of range",
                     shownLine(from.clipName, shownNameCharacters), from.collectionPK);
        return {};
    }
}

FCPMetadata SnapshotWriter::metadata(const EditEntry &from, FrameRate rate) {
    const bool slowToStandstill = from.speedRate && std::abs(*from.speedRate) < 0.001;
    FCPMetadata record{{
        // Each text as the document keeps it (SnapshotTexts), without copying a long one whole.
        .sourceClipName = SnapshotTexts::held(from.clipName),
        .sourceFileName = SnapshotTexts::held(from.assetName),
        .mediaIdentifier = from.mediaIdentifier,
        // The reader computes both timecodes and the source frame for every frame.
        .sourceTimecode = "",
        .sourceFrameNumber = std::nullopt,
        .projectTimecode = "",
        .frameRate = rate.fps(),
        .reelName = SnapshotTexts::held(from.reelName),
        .scene = SnapshotTexts::held(from.scene),
        .shot = SnapshotTexts::held(from.shot),
        .angle = SnapshotTexts::held(from.angle ? from.angle : from.videoAngle),
        .notes = SnapshotTexts::held(from.notes),
        .audioRoles = from.audioAngles,
        .clipType = from.clipType,
        .positionX = from.positionX,
        .positionY = from.positionY,
        .scaleX = from.scaleX,
        .scaleY = from.scaleY,
        .rotation = from.rotation,
        .speedRate = from.speedRate,
        .isReversed = from.isReversed,
        .isFreezeFrame = from.isFreezeFrame.value_or(slowToStandstill),
        .isSpeedRamp = from.timeMapKeypoints.has_value(),
        .hasStabilization = from.hasStabilization,
        .markers = unlessEmpty(from.markers),
    }};
    if (from.resolution) {
        record.resolutionWidth = from.resolution->width;
        record.resolutionHeight = from.resolution->height;
    }
    // The markers' texts too; the stretches' own lists are kept as each stretch takes them.
    SnapshotTexts::boundAll(record.markers);
    return record;
}

} // namespace tandrel
