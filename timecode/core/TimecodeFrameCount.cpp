#include "timecode/core/TimecodeFrameCount.h"

#include "timecode/core/NumericUtilities.h"

#include <limits>

namespace timecode {

namespace {

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

// Floating-point payloads hash ±0 alike, as they compare.
std::size_t hashDouble(double value) {
    return std::hash<double>{}(value == 0 ? 0.0 : value);
}

// The interval × base, truncated. Intervals are mostly sub-frames ÷ base, and the product can
// land a hair below the sub-frames it came from (29 ÷ 100 × 100 is 28.999…): a neighbour that
// gives the same interval back is taken instead.
int64_t subFramesOfUnitInterval(double interval, int64_t base) {
    const int64_t truncated = saturatingTruncate(interval * static_cast<double>(base));
    const auto divides = [&](int64_t subFrames) {
        return static_cast<double>(subFrames) / static_cast<double>(base) == interval;
    };
    if (divides(truncated) || truncated == std::numeric_limits<int64_t>::max() ||
        truncated == std::numeric_limits<int64_t>::min()) {
        return truncated;
    }
    const int64_t away = truncated + (interval < 0 ? -1 : 1);
    return divides(away) ? away : truncated;
}

void combine(std::size_t &seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

} // namespace

bool operator==(const TimecodeFrameCount::Value &lhs, const TimecodeFrameCount::Value &rhs) {
    using V = TimecodeFrameCount::Value;
    if (lhs.form() != rhs.form()) {
        return false;
    }
    return std::visit(
        Overloaded{
            [&](const V::Frames &a) { return a.frames == rhs.get<V::Frames>()->frames; },
            [&](const V::Split &a) {
                const auto &b = *rhs.get<V::Split>();
                return a.frames == b.frames && a.subFrames == b.subFrames;
            },
            [&](const V::Combined &a) { return a.value == rhs.get<V::Combined>()->value; },
            [&](const V::SplitUnitInterval &a) {
                const auto &b = *rhs.get<V::SplitUnitInterval>();
                return a.frames == b.frames && a.subFramesUnitInterval == b.subFramesUnitInterval;
            },
        },
        lhs.storage());
}

std::size_t TimecodeFrameCount::Value::hashValue() const {
    std::size_t seed = std::hash<std::size_t>{}(storage_.index());
    std::visit(Overloaded{
                   [&](const Frames &a) { combine(seed, std::hash<int64_t>{}(a.frames)); },
                   [&](const Split &a) {
                       combine(seed, std::hash<int64_t>{}(a.frames));
                       combine(seed, std::hash<int64_t>{}(a.subFrames));
                   },
                   [&](const Combined &a) { combine(seed, hashDouble(a.value)); },
                   [&](const SplitUnitInterval &a) {
                       combine(seed, std::hash<int64_t>{}(a.frames));
                       combine(seed, hashDouble(a.subFramesUnitInterval));
                   },
               },
               storage_);
    return seed;
}

std::string TimecodeFrameCount::Value::description() const {
    return std::visit(Overloaded{
                          [](const Frames &a) { return std::to_string(a.frames); },
                          [](const Split &a) {
                              return std::to_string(a.frames) + "." + std::to_string(a.subFrames);
                          },
                          [](const Combined &a) { return doubleDescription(a.value); },
                          [](const SplitUnitInterval &a) {
                              return doubleDescription(static_cast<double>(a.frames) +
                                                       a.subFramesUnitInterval);
                          },
                      },
                      storage_) +
           " frames";
}

std::string TimecodeFrameCount::Value::debugDescription() const {
    return std::visit(
        Overloaded{
            [](const Frames &a) { return ".frames(" + std::to_string(a.frames) + ")"; },
            [](const Split &a) {
                return ".split(frames: " + std::to_string(a.frames) +
                       ", subFrames: " + std::to_string(a.subFrames) + ")";
            },
            [](const Combined &a) { return ".combined(" + doubleDescription(a.value) + ")"; },
            [](const SplitUnitInterval &a) {
                return ".splitUnitInterval(frames: " + std::to_string(a.frames) +
                       ", subFramesUnitInterval: " + doubleDescription(a.subFramesUnitInterval) +
                       ")";
            },
        },
        storage_);
}

int64_t TimecodeFrameCount::wholeFrames() const {
    return std::visit(Overloaded{
                          [](const Value::Frames &a) { return a.frames; },
                          [](const Value::Split &a) { return a.frames; },
                          [](const Value::Combined &a) { return saturatingTruncate(a.value); },
                          [](const Value::SplitUnitInterval &a) { return a.frames; },
                      },
                      value.storage());
}

int64_t TimecodeFrameCount::subFrames() const {
    const int64_t base = base_.rawValue();
    return std::visit(
        Overloaded{
            [](const Value::Frames &) { return int64_t{0}; },
            [](const Value::Split &a) { return a.subFrames; },
            [&](const Value::Combined &) {
                const Decimal exact = decimalValue();
                return (exact.fraction() * Decimal(base)).truncated(0).int64Value().value_or(0);
            },
            [&](const Value::SplitUnitInterval &a) {
                return subFramesOfUnitInterval(a.subFramesUnitInterval, base);
            },
        },
        value.storage());
}

int64_t TimecodeFrameCount::subFrameCount() const {
    return saturatingInt64(static_cast<Int128>(wholeFrames()) * base_.rawValue() + subFrames());
}

Decimal TimecodeFrameCount::decimalValue() const {
    return std::visit(
        Overloaded{
            [](const Value::Frames &a) { return Decimal(a.frames); },
            [&](const Value::Split &a) {
                // frames + subFrames ÷ base, exactly: every base divides 10^4.
                const Int128 scaled =
                    (static_cast<Int128>(a.frames) * base_.rawValue() + a.subFrames) *
                    (10000 / base_.rawValue());
                return Decimal::fromParts(scaled < 0, magnitude(scaled), -4);
            },
            [](const Value::Combined &a) { return Decimal::fromDouble(a.value).truncated(8); },
            [](const Value::SplitUnitInterval &a) {
                return Decimal(a.frames) + Decimal::fromDouble(a.subFramesUnitInterval);
            },
        },
        value.storage());
}

double TimecodeFrameCount::doubleValue() const {
    const double base = base_.rawValue();
    return std::visit(Overloaded{
                          [](const Value::Frames &a) { return static_cast<double>(a.frames); },
                          [&](const Value::Split &a) {
                              return static_cast<double>(a.frames) +
                                     static_cast<double>(a.subFrames) / base;
                          },
                          [](const Value::Combined &a) { return a.value; },
                          [](const Value::SplitUnitInterval &a) {
                              return static_cast<double>(a.frames) + a.subFramesUnitInterval;
                          },
                      },
                      value.storage());
}

bool TimecodeFrameCount::isZero() const {
    return std::visit(Overloaded{
                          [](const Value::Frames &a) { return a.frames == 0; },
                          [](const Value::Split &a) { return a.frames == 0 && a.subFrames == 0; },
                          [](const Value::Combined &a) { return a.value == 0; },
                          [](const Value::SplitUnitInterval &a) {
                              return a.frames == 0 && a.subFramesUnitInterval == 0;
                          },
                      },
                      value.storage());
}

TimecodeFrameCount TimecodeFrameCount::fromSubFrameCount(int64_t count) const {
    // Truncating division; the remainder takes the sign of the count.
    const int64_t base = base_.rawValue();
    return TimecodeFrameCount(Value::split(count / base, count % base), base_);
}

TimecodeFrameCount TimecodeFrameCount::adding(const TimecodeFrameCount &other) const {
    return fromSubFrameCount(
        saturatingInt64(static_cast<Int128>(subFrameCount()) + other.subFrameCount()));
}

TimecodeFrameCount TimecodeFrameCount::subtracting(const TimecodeFrameCount &other) const {
    return fromSubFrameCount(
        saturatingInt64(static_cast<Int128>(subFrameCount()) - other.subFrameCount()));
}

TimecodeFrameCount TimecodeFrameCount::multiplying(double factor) const {
    return fromSubFrameCount(saturatingTruncate(static_cast<double>(subFrameCount()) * factor));
}

TimecodeFrameCount TimecodeFrameCount::dividing(double divisor) const {
    return fromSubFrameCount(saturatingTruncate(static_cast<double>(subFrameCount()) / divisor));
}

std::string TimecodeFrameCount::description() const {
    if (const auto *frames = value.get<Value::Frames>()) {
        return std::to_string(frames->frames);
    }
    return doubleDescription(doubleValue());
}

} // namespace timecode
