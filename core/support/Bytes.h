#pragma once

#include <cstdint>
#include <vector>

namespace tandrel {

// An owned byte buffer: blobs of the library databases, property-list data values.
using Bytes = std::vector<std::uint8_t>;

} // namespace tandrel
