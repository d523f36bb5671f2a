#include "timecode/core/RandomSource.h"

#include <algorithm>
#include <random>

namespace timecode {

int64_t randomInteger(int64_t first, int64_t second) {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<int64_t> distribution(std::min(first, second),
                                                        std::max(first, second));
    return distribution(generator);
}

} // namespace timecode
