#pragma once

#include "core/database/PlistValue.h"

#include <span>
#include <stdexcept>
#include <string>

namespace tandrel {

// Bytes that are not a property list the reader accepts. The description says why.
class PropertyListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads binary and XML property lists into `PlistValue`s. Every input first passes the
// bounded checks of `PropertyListCheck`; what fails them is reported like any other
// unreadable data. Integers come back as signed 64-bit values (the 64-bit pattern of the
// stored number), reals as doubles, UIDs as references. Pure and thread-safe.
struct PropertyListReader {
    static PlistValue read(std::span<const uint8_t> data);
};

} // namespace tandrel
