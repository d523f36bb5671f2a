#pragma once

#include "timecode/core/Decimal.h"
#include "timecode/core/TimecodeSubFramesBase.h"

#include <compare>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>

namespace timecode {

// A count of frames since timecode zero, possibly with a fraction of a frame, and the
// sub-frames base that gives the fraction its unit. Known in a timecode as
// `Timecode::FrameCount`. Comparison, hashing and arithmetic go through one integer, the total
// in sub-frames. Beyond the 64-bit range every integer result saturates at the 64-bit limits
// (not-a-number counts as 0), so out-of-range counts stay out of range instead of wrapping.
class TimecodeFrameCount {
public:
    // One of four forms; none is normalised (a split value may hold sub-frames beyond the base
    // or of the other sign than its frames).
    class Value {
    public:
        struct Frames {
            int64_t frames;
        };
        struct Split {
            int64_t frames;
            int64_t subFrames;
        };
        struct Combined {
            double value;
        };
        struct SplitUnitInterval {
            int64_t frames;
            double subFramesUnitInterval;
        };
        using Storage = std::variant<Frames, Split, Combined, SplitUnitInterval>;
        enum class Form : uint8_t { frames, split, combined, splitUnitInterval };

        // Whole frames, no fraction.
        static Value frames(int64_t frames) { return Value(Frames{frames}); }
        // Whole frames plus sub-frames in the base's unit.
        static Value split(int64_t frames, int64_t subFrames) {
            return Value(Split{frames, subFrames});
        }
        // Frames with the fraction as the decimal part.
        static Value combined(double value) { return Value(Combined{value}); }
        // Whole frames plus the fraction of a frame as a number from 0 to 1.
        static Value splitUnitInterval(int64_t frames, double subFramesUnitInterval) {
            return Value(SplitUnitInterval{frames, subFramesUnitInterval});
        }

        Form form() const { return static_cast<Form>(storage_.index()); }
        const Storage &storage() const { return storage_; }
        template <typename Payload> const Payload *get() const {
            return std::get_if<Payload>(&storage_);
        }

        // "24 frames", "24.5 frames" (split: frames "." sub-frames), "1.5 frames".
        std::string description() const;
        // ".frames(24)", ".split(frames: 24, subFrames: 5)", ".combined(1.5)",
        // ".splitUnitInterval(frames: 1, subFramesUnitInterval: 0.5)".
        std::string debugDescription() const;

        // Form by form; floating-point payloads compare numerically (0.0 equals −0.0).
        friend bool operator==(const Value &lhs, const Value &rhs);
        std::size_t hashValue() const;
        // Identity is the value itself.
        Value id() const { return *this; }

    private:
        explicit Value(Storage storage) : storage_(storage) {}

        Storage storage_;
    };

    TimecodeFrameCount(Value value, TimecodeSubFramesBase base) : value(value), base_(base) {}

    Value value;
    TimecodeSubFramesBase subFramesBase() const { return base_; }

    int64_t wholeFrames() const;
    // Sub-frames beyond the whole frames, in the base's unit (negative for a negative combined
    // value: −1.5 at base 80 gives −40).
    int64_t subFrames() const;
    // wholeFrames × base + subFrames.
    int64_t subFrameCount() const;

    // Exact: a combined value enters as its shortest decimal text truncated to 8 places.
    Decimal decimalValue() const;
    double doubleValue() const;

    // Tests the payload as stored: split (1, −80) is not zero although its count is.
    bool isZero() const;
    bool isNegative() const { return doubleValue() < 0; }

    // Each answers the split form in this count's base; the other count's sub-frames are used
    // in its own base, unconverted.
    TimecodeFrameCount adding(const TimecodeFrameCount &other) const;
    TimecodeFrameCount subtracting(const TimecodeFrameCount &other) const;
    // The sub-frame count times the factor (or over the divisor) in floating point, truncated.
    TimecodeFrameCount multiplying(double factor) const;
    TimecodeFrameCount dividing(double divisor) const;

    friend TimecodeFrameCount operator+(const TimecodeFrameCount &lhs,
                                        const TimecodeFrameCount &rhs) {
        return lhs.adding(rhs);
    }
    friend TimecodeFrameCount operator-(const TimecodeFrameCount &lhs,
                                        const TimecodeFrameCount &rhs) {
        return lhs.subtracting(rhs);
    }
    friend TimecodeFrameCount operator*(const TimecodeFrameCount &lhs, double factor) {
        return lhs.multiplying(factor);
    }
    friend TimecodeFrameCount operator/(const TimecodeFrameCount &lhs, double divisor) {
        return lhs.dividing(divisor);
    }

    // By sub-frame count only: forms and bases are not compared.
    friend bool operator==(const TimecodeFrameCount &lhs, const TimecodeFrameCount &rhs) {
        return lhs.subFrameCount() == rhs.subFrameCount();
    }
    friend std::strong_ordering operator<=>(const TimecodeFrameCount &lhs,
                                            const TimecodeFrameCount &rhs) {
        return lhs.subFrameCount() <=> rhs.subFrameCount();
    }

    // Identity is the count itself, so counts equal in sub-frames are the same.
    TimecodeFrameCount id() const { return *this; }

    // The frames form prints its integer; the others their double value ("24.0").
    std::string description() const;

private:
    TimecodeFrameCount fromSubFrameCount(int64_t count) const;

    TimecodeSubFramesBase base_;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeFrameCount::Value> {
    std::size_t operator()(const timecode::TimecodeFrameCount::Value &value) const noexcept {
        return value.hashValue();
    }
};

template <> struct std::hash<timecode::TimecodeFrameCount> {
    std::size_t operator()(const timecode::TimecodeFrameCount &count) const noexcept {
        return std::hash<int64_t>{}(count.subFrameCount());
    }
};
