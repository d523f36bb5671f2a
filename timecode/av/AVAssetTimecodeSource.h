#pragma once

#include "timecode/av/MediaAsset.h"
#include "timecode/core/RangeAttribute.h"
#include "timecode/core/TimecodeSource.h"

#include <memory>

namespace timecode {

// The start, end or duration timecode of a media asset, at the frame rate, sub-frames base and
// upper limit of the timecode it sets. Built by AsyncTimecodeSourceValue::avAsset.
//
// The asset is read when the source is asked: set() blocks its caller for the read and then
// calls the completion on the same thread. A plain value; copies share the asset.
class AVAssetTimecodeSource final : public AsyncTimecodeSource {
public:
    AVAssetTimecodeSource(std::shared_ptr<const MediaAsset> asset, RangeAttribute attribute);

    const std::shared_ptr<const MediaAsset> &asset() const { return asset_; }
    RangeAttribute attribute() const { return attribute_; }

    // Fails with MediaParseError::unknownTimecode for a start or end of an asset without a
    // start timecode, and with the reading's and conversion's errors.
    void set(Timecode timecode, Completion<Timecode> completion) const override;
    // Never fails: where the strict form would, the timecode becomes 00:00:00:00 at its own
    // properties. The rule does not change the result.
    void set(Timecode timecode, TimecodeValidationRule rule,
             Completion<Timecode> completion) const override;

private:
    std::shared_ptr<const MediaAsset> asset_;
    RangeAttribute attribute_;
};

// The start, end or duration timecode of a media asset at the asset's own timecode frame rate,
// with the sub-frames base and upper limit of the timecode it sets; the result carries those
// properties. Built by AsyncRichTimecodeSourceValue::avAsset. Reads as AVAssetTimecodeSource
// does.
class AVAssetRichTimecodeSource final : public AsyncRichTimecodeSource {
public:
    AVAssetRichTimecodeSource(std::shared_ptr<const MediaAsset> asset, RangeAttribute attribute);

    const std::shared_ptr<const MediaAsset> &asset() const { return asset_; }
    RangeAttribute attribute() const { return attribute_; }

    // Fails with MediaParseError::missingOrNonStandardFrameRate where the asset's rate cannot be
    // found, unknownTimecode for a start or end without a start timecode, and the reading's and
    // conversion's errors.
    void set(Timecode timecode, Completion<Timecode> completion) const override;
    // The same; the rule does not change the result.
    void set(Timecode timecode, TimecodeValidationRule rule,
             Completion<Timecode> completion) const override;

private:
    std::shared_ptr<const MediaAsset> asset_;
    RangeAttribute attribute_;
};

} // namespace timecode
