#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tandrel {

// The lowest and highest source frames a clip uses, both shown.
struct SourceFrameRange {
    int64_t first = 0;
    int64_t last = 0;

    friend bool operator==(const SourceFrameRange &, const SourceFrameRange &) = default;

    // Gathers the range from the stretches over which the source position p (in frames) moves
    // or holds. Moving forward a frame is shown from its own start (floor(p)), moving
    // backward from its end (ceil(p) − 1): either way the frame at the higher end of a moving
    // stretch is not shown. Where the position holds, floor(p) is. Rounding error of the
    // arithmetic that gave the positions is tolerated.
    class Builder {
    public:
        void moving(double from, double to) {
            const double tolerance = toleranceAt(from, to);
            include(std::floor(std::min(from, to) + tolerance),
                    std::ceil(std::max(from, to) - tolerance) - 1);
        }
        void holding(double at) {
            const double frame = std::floor(at + toleranceAt(at, at));
            include(frame, frame);
        }
        // Nothing when no stretch was given or a frame is beyond 64 bits.
        std::optional<SourceFrameRange> range() const;

    private:
        // Frame-aligned times are exact in the snapshot's 1/240000 s; what is left is the
        // rounding of products and sums of doubles.
        static double toleranceAt(double a, double b) {
            return 1e-6 + 1e-12 * std::max(std::abs(a), std::abs(b));
        }
        void include(double low, double high) {
            low_ = std::min(low_, low);
            high_ = std::max(high_, std::max(low, high));
        }

        double low_ = std::numeric_limits<double>::infinity();
        double high_ = -std::numeric_limits<double>::infinity();
    };
};

} // namespace tandrel
