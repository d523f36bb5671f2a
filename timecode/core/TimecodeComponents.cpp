#include "timecode/core/TimecodeComponents.h"

#include "timecode/core/NumericUtilities.h"
#include "timecode/core/RandomSource.h"

namespace timecode {

namespace {

int64_t draw(const ClosedRange<int64_t> &range) {
    return randomInteger(range.lower, range.upper);
}

} // namespace

int64_t lowestValidFrame(TimecodeFrameRate rate, int64_t minutes, int64_t seconds) {
    if (rate.isDrop() && minutes % 10 != 0 && seconds == 0) {
        return static_cast<int64_t>(rate.framesDroppedPerMinute());
    }
    return 0;
}

TimecodeComponents TimecodeComponents::random(const TimecodeProperties &properties) {
    TimecodeComponents components;
    components.days = draw({0, properties.upperLimit.maxDays()});
    components.hours = draw({0, 23});
    components.minutes = draw({0, 59});
    components.seconds = draw({0, 59});
    components.frames =
        draw({lowestValidFrame(properties.frameRate, components.minutes, components.seconds),
              properties.frameRate.maxFrames() - 1});
    components.subFrames = draw({0, properties.subFramesBase.maxSubFramesExpressible()});
    return components;
}

TimecodeComponents TimecodeComponents::random(const TimecodeComponentRanges &ranges) {
    TimecodeComponents components;
    components.days = draw(ranges.days);
    components.hours = draw(ranges.hours);
    components.minutes = draw(ranges.minutes);
    components.seconds = draw(ranges.seconds);
    components.frames = draw(ranges.frames);
    components.subFrames = draw(ranges.subFrames);
    return components;
}

int64_t TimecodeComponents::value(TimecodeComponent component) const {
    return const_cast<TimecodeComponents *>(this)->value(component);
}

int64_t &TimecodeComponents::value(TimecodeComponent component) {
    switch (component) {
    case TimecodeComponent::days:
        return days;
    case TimecodeComponent::hours:
        return hours;
    case TimecodeComponent::minutes:
        return minutes;
    case TimecodeComponent::seconds:
        return seconds;
    case TimecodeComponent::frames:
        return frames;
    case TimecodeComponent::subFrames:
        break;
    }
    return subFrames;
}

TimecodeComponents TimecodeComponents::fromDictionary(const Dictionary &dictionary) {
    TimecodeComponents components;
    components.set(dictionary);
    return components;
}

TimecodeComponents::Dictionary TimecodeComponents::dictionary() const {
    Dictionary dictionary;
    for (const Pair &pair : *this) {
        dictionary.emplace(pair.component, pair.value);
    }
    return dictionary;
}

void TimecodeComponents::set(const Dictionary &from) {
    for (const auto &[component, newValue] : from) {
        value(component) = newValue;
    }
}

TimecodeComponents TimecodeComponents::fromArray(const std::vector<Pair> &pairs) {
    TimecodeComponents components;
    components.setArray(pairs);
    return components;
}

std::array<TimecodeComponents::Pair, 6> TimecodeComponents::array() const {
    return {*Iterator(this, 0), *Iterator(this, 1), *Iterator(this, 2),
            *Iterator(this, 3), *Iterator(this, 4), *Iterator(this, 5)};
}

void TimecodeComponents::setArray(const std::vector<Pair> &pairs) {
    for (const Pair &pair : pairs) {
        value(pair.component) = pair.value;
    }
}

TimecodeComponents::Pair TimecodeComponents::Iterator::operator*() const {
    const TimecodeComponent component = TimecodeComponent::allCases()[static_cast<size_t>(index_)];
    return {component, components_->value(component)};
}

ClosedRange<int64_t> TimecodeComponents::validRange(TimecodeComponent component,
                                                    const TimecodeProperties &properties) const {
    switch (component) {
    case TimecodeComponent::days:
        return {0, properties.upperLimit.maxDays()};
    case TimecodeComponent::hours:
        return {0, 23};
    case TimecodeComponent::minutes:
    case TimecodeComponent::seconds:
        return {0, 59};
    case TimecodeComponent::frames:
        return {lowestValidFrame(properties.frameRate, minutes, seconds),
                properties.frameRate.maxFrames() - 1};
    case TimecodeComponent::subFrames:
        break;
    }
    return {0, properties.subFramesBase.maxSubFramesExpressible()};
}

ClosedRange<int64_t> TimecodeComponents::validRange(TimecodeComponent component,
                                                    TimecodeFrameRate rate,
                                                    TimecodeSubFramesBase base,
                                                    TimecodeUpperLimit limit) const {
    return validRange(component, TimecodeProperties(rate, base, limit));
}

TimecodeComponent::Set
TimecodeComponents::invalidComponents(const TimecodeProperties &properties) const {
    TimecodeComponent::Set invalid;
    for (const Pair &pair : *this) {
        if (!validRange(pair.component, properties).contains(pair.value)) {
            invalid.insert(pair.component);
        }
    }
    return invalid;
}

TimecodeComponent::Set TimecodeComponents::invalidComponents(TimecodeFrameRate rate,
                                                             TimecodeSubFramesBase base,
                                                             TimecodeUpperLimit limit) const {
    return invalidComponents(TimecodeProperties(rate, base, limit));
}

bool TimecodeComponents::isWithinValidDigitCounts(TimecodeFrameRate rate,
                                                  TimecodeSubFramesBase base) const {
    for (const Pair &pair : *this) {
        if (numberOfDigits(pair.value) > pair.component.numberOfDigits(rate, base)) {
            return false;
        }
    }
    return true;
}

void to_json(Json &json, const TimecodeComponents &components) {
    json = Json::object();
    for (const auto &pair : components) {
        json[std::string(pair.component.nameLowerCamelCase())] = pair.value;
    }
}

void from_json(const Json &json, TimecodeComponents &components) {
    // Decoded into a fresh record, so a failure leaves nothing behind.
    TimecodeComponents decoded;
    for (TimecodeComponent component : TimecodeComponent::allCases()) {
        decoded.value(component) =
            decodeInt64(json, std::string(component.nameLowerCamelCase()).c_str());
    }
    components = decoded;
}

} // namespace timecode
