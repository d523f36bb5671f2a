#include "timecode/av/AVAssetTimecodeSource.h"

#include "timecode/av/MediaParseError.h"
#include "timecode/core/Timecode.h"

#include <utility>

namespace timecode {

namespace {

// The asset's timecode for the attribute at the rate given (or the asset's own) and the
// timecode's base and limit.
Timecode assetTimecode(const MediaAsset &asset, RangeAttribute attribute,
                       std::optional<TimecodeFrameRate> rate, const Timecode &timecode) {
    const Timecode::SubFramesBase base = timecode.subFramesBase();
    const Timecode::UpperLimit limit = timecode.upperLimit();
    std::optional<Timecode> result;
    switch (attribute) {
    case RangeAttribute::start:
        result = asset.startTimecode(rate, base, limit);
        break;
    case RangeAttribute::end:
        result = asset.endTimecode(rate, base, limit);
        break;
    case RangeAttribute::duration:
        return asset.durationTimecode(rate, base, limit);
    }
    if (!result) {
        throw MediaParseError(MediaParseError::unknownTimecode);
    }
    return *result;
}

} // namespace

AVAssetTimecodeSource::AVAssetTimecodeSource(std::shared_ptr<const MediaAsset> asset,
                                             RangeAttribute attribute)
    : asset_(std::move(asset)), attribute_(attribute) {}

void AVAssetTimecodeSource::set(Timecode timecode, Completion<Timecode> completion) const {
    completion(AsyncResult<Timecode>::of(
        [&] { return assetTimecode(*asset_, attribute_, timecode.frameRate(), timecode); }));
}

void AVAssetTimecodeSource::set(Timecode timecode, TimecodeValidationRule,
                                Completion<Timecode> completion) const {
    Timecode result = timecode.setting(GuaranteedTimecodeSourceValue::zero());
    try {
        result = assetTimecode(*asset_, attribute_, timecode.frameRate(), timecode);
    } catch (const std::exception &) {
        // Whatever failed, the answer is the zero timecode.
    }
    completion(AsyncResult<Timecode>::success(std::move(result)));
}

AVAssetRichTimecodeSource::AVAssetRichTimecodeSource(std::shared_ptr<const MediaAsset> asset,
                                                     RangeAttribute attribute)
    : asset_(std::move(asset)), attribute_(attribute) {}

void AVAssetRichTimecodeSource::set(Timecode timecode, Completion<Timecode> completion) const {
    completion(AsyncResult<Timecode>::of(
        [&] { return assetTimecode(*asset_, attribute_, std::nullopt, timecode); }));
}

void AVAssetRichTimecodeSource::set(Timecode timecode, TimecodeValidationRule,
                                    Completion<Timecode> completion) const {
    set(std::move(timecode), std::move(completion));
}

AsyncTimecodeSourceValue AsyncTimecodeSourceValue::avAsset(std::shared_ptr<const MediaAsset> asset,
                                                           RangeAttribute attribute) {
    return {std::make_shared<AVAssetTimecodeSource>(std::move(asset), attribute)};
}

AsyncRichTimecodeSourceValue
AsyncRichTimecodeSourceValue::avAsset(std::shared_ptr<const MediaAsset> asset,
                                      RangeAttribute attribute) {
    return {std::make_shared<AVAssetRichTimecodeSource>(std::move(asset), attribute)};
}

} // namespace timecode
