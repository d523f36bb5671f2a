#include "core/database/RetimeParser.h"

#include "core/database/CollectionReads.h"
#include "core/database/CollectionVisits.h"
#include "core/database/EffectDocument.h"
#include "core/support/Numeric.h"
#include "core/support/TextSplit.h"
#include "core/support/UnicodeText.h"

#include <cmath>
#include <string>

namespace tandrel {

namespace {

constexpr std::string_view guardName = "FFRetimingVideoEffect channelData";

// The events of one retiming document. Curves set the values of the parameter that encloses
// them; keypoints are collected wherever they stand.
class RetimeDocumentReader : public XMLStreamParser::Delegate {
public:
    RetimeParser::RetimeValues result;

    void startElement(std::string_view name,
                      const XMLStreamParser::Attributes &attributes) override {
        currentText_.clear();
        if (name == "parameter") {
            if (auto parameter = attributes.find("name"); parameter && !attributes.empty()) {
                parameterStack_.emplace_back(*parameter);
            }
            return;
        }
        if (name == "curve") {
            applyCurve(attributes);
            return;
        }
        if (name == "keypoint") {
            inKeypoint_ = true;
            keypointTime_.clear();
            keypointValue_ = 0;
            inputTangent_ = -1;
            outputTangent_ = -1;
        }
    }

    void characters(std::string_view text) override { currentText_.append(text); }

    void endElement(std::string_view name) override {
        const std::string_view text = trimmingWhitespaceAndNewlines(currentText_);
        if (name == "parameter") {
            if (!parameterStack_.empty()) {
                parameterStack_.pop_back();
            }
        } else if (inKeypoint_) {
            if (name == "time") {
                keypointTime_ = text;
            } else if (name == "value") {
                keypointValue_ = parseFiniteDouble(text).value_or(0);
            } else if (name == "inputTangentValue") {
                inputTangent_ = parseFiniteDouble(text).value_or(-1);
            } else if (name == "outputTangentValue") {
                outputTangent_ = parseFiniteDouble(text).value_or(-1);
            } else if (name == "keypoint") {
                appendKeypoint();
                inKeypoint_ = false;
            }
        }
        currentText_.clear();
    }

private:
    void applyCurve(const XMLStreamParser::Attributes &attributes) {
        const std::string parameter = parameterStack_.empty() ? "" : parameterStack_.back();
        const auto text = attributes.find("value");
        const auto value = text ? parseFiniteDouble(*text) : std::nullopt;
        if (!value) {
            return;
        }
        if (parameter == "Speed") {
            result.speed = *value;
        } else if (parameter == "Reverse") {
            result.isReversed = *value != 0;
        } else if (parameter == "Frame Sampling") {
            const auto raw = truncateToInt64(*value);
            if (auto method =
                    raw ? RetimeParser::FrameSamplingMethod::fromRawValue(*raw) : std::nullopt) {
                result.frameSampling = *method;
            }
        }
    }

    // "numerator denominator [flags epoch]": a keypoint whose time does not read, or whose
    // time is not a finite number of seconds, is dropped.
    void appendKeypoint() {
        const auto fields = splitNonEmpty(keypointTime_, " ");
        if (fields.size() < 2) {
            return;
        }
        const auto numerator = parseFiniteDouble(fields[0]);
        const auto denominator = parseFiniteDouble(fields[1]);
        if (!numerator || !denominator || !(*denominator > 0)) {
            return;
        }
        const double seconds = *numerator / *denominator;
        if (!std::isfinite(seconds)) {
            return;
        }
        result.timeMapKeypoints.push_back({seconds, keypointValue_, inputTangent_, outputTangent_});
    }

    std::vector<std::string> parameterStack_;
    std::string currentText_;
    bool inKeypoint_ = false;
    std::string keypointTime_;
    double keypointValue_ = 0;
    double inputTangent_ = -1;
    double outputTangent_ = -1;
};

} // namespace

std::optional<RetimeParser::FrameSamplingMethod>
RetimeParser::FrameSamplingMethod::fromRawValue(int64_t rawValue) {
    switch (rawValue) {
    case floor:
    case nearest:
    case frameBlending:
    case opticalFlow:
        return FrameSamplingMethod(static_cast<Case>(rawValue));
    default:
        return std::nullopt;
    }
}

bool RetimeParser::RetimeValues::isRetimed() const {
    return speed != 100.0 || isReversed || timeMapKeypoints.size() > 2;
}

bool RetimeParser::RetimeValues::isSpeedRamp() const {
    return timeMapKeypoints.size() > 2;
}

bool RetimeParser::RetimeValues::isFreezeFrame() const {
    return timeMapKeypoints.size() >= 2 && std::abs(timeMapKeypoints.front().sourceSeconds -
                                                    timeMapKeypoints.back().sourceSeconds) < 0.001;
}

std::optional<double> RetimeParser::RetimeValues::effectiveSpeed() const {
    if (timeMapKeypoints.size() != 2) {
        return std::nullopt;
    }
    const auto &first = timeMapKeypoints[0];
    const auto &second = timeMapKeypoints[1];
    const double dt = second.timelineSeconds - first.timelineSeconds;
    if (!(dt > 0)) {
        return 0.0;
    }
    const double speed = (second.sourceSeconds - first.sourceSeconds) / dt * 100;
    return std::isfinite(speed) ? speed : 0.0;
}

namespace {

std::optional<RetimeParser::RetimeValues> findBelow(int64_t clip, const CollectionSource &db,
                                                    int depth, CollectionVisits &visits) {
    if (depth > RetimeParser::maxDepth) {
        return std::nullopt;
    }
    for (int64_t child : CollectionReads::children(db, clip)) {
        const auto info = CollectionReads::kind(db, child);
        if (!info || info->name == "anchoredItems") {
            continue;
        }
        if (!visits.enter(child)) {
            continue;
        }
        if (info->type == "FFRetimingVideoEffect") {
            const auto blob = CollectionReads::blob(db, child);
            if (const Bytes *channelData = blob ? blob->data("channelData") : nullptr) {
                return *db.decoded(*channelData, &RetimeParser::parse);
            }
        }
        if (auto found = findBelow(child, db, depth + 1, visits)) {
            return found;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<RetimeParser::RetimeValues>
RetimeParser::find(int64_t forClipPK, const CollectionSource &db, int depth) {
    CollectionVisits visits;
    visits.enter(forClipPK);
    return findBelow(forClipPK, db, depth, visits);
}

std::optional<RetimeParser::RetimeValues>
RetimeParser::parse(std::span<const uint8_t> channelData) {
    RetimeDocumentReader reader;
    if (!EffectDocument::read(channelData, guardName, reader)) {
        return std::nullopt;
    }
    return reader.result;
}

} // namespace tandrel
