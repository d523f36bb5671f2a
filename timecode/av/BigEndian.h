#pragma once

#include "timecode/av/FourCharCode.h"
#include "timecode/av/MovieFormatError.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace timecode {

// Reads big-endian fields from a span of bytes, front to back. Reading past the end throws
// MovieFormatError naming what was being read, and never touches memory outside the span.
class BigEndianReader {
public:
    BigEndianReader(std::span<const uint8_t> bytes, const char *what)
        : bytes_(bytes), what_(what) {}

    size_t position() const { return position_; }
    size_t remaining() const { return bytes_.size() - position_; }
    bool atEnd() const { return position_ == bytes_.size(); }

    uint8_t u8() { return static_cast<uint8_t>(take(1)); }
    uint16_t u16() { return static_cast<uint16_t>(take(2)); }
    uint32_t u32() { return static_cast<uint32_t>(take(4)); }
    uint64_t u64() { return take(8); }
    FourCharCode fourCC() { return u32(); }
    std::span<const uint8_t> bytes(size_t count) {
        require(count);
        const auto piece = bytes_.subspan(position_, count);
        position_ += count;
        return piece;
    }
    std::span<const uint8_t> rest() { return bytes(remaining()); }
    void skip(size_t count) { bytes(count); }

private:
    void require(size_t count) const {
        if (count > remaining()) {
            throw MovieFormatError(std::string("truncated ") + what_);
        }
    }
    uint64_t take(size_t count) {
        require(count);
        uint64_t value = 0;
        for (size_t i = 0; i < count; ++i) {
            value = (value << 8) | bytes_[position_ + i];
        }
        position_ += count;
        return value;
    }

    std::span<const uint8_t> bytes_;
    const char *what_;
    size_t position_ = 0;
};

// Appends big-endian fields to a byte vector.
class BigEndianWriter {
public:
    explicit BigEndianWriter(std::vector<uint8_t> &out) : out_(out) {}

    BigEndianWriter &u8(uint8_t value) { return put(value, 1); }
    BigEndianWriter &u16(uint16_t value) { return put(value, 2); }
    BigEndianWriter &u32(uint32_t value) { return put(value, 4); }
    BigEndianWriter &u64(uint64_t value) { return put(value, 8); }
    BigEndianWriter &fourCC(FourCharCode value) { return u32(value); }
    BigEndianWriter &zeros(size_t count) {
        out_.resize(out_.size() + count);
        return *this;
    }
    BigEndianWriter &bytes(std::span<const uint8_t> bytes) {
        const size_t at = out_.size();
        out_.resize(at + bytes.size());
        std::copy(bytes.begin(), bytes.end(), out_.begin() + static_cast<std::ptrdiff_t>(at));
        return *this;
    }

private:
    BigEndianWriter &put(uint64_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            out_.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
        return *this;
    }

    std::vector<uint8_t> &out_;
};

} // namespace timecode
