#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace timecode {

// Random access to the bytes of a movie file, so that the box reader loads only box headers
// and the movie box, never the media data.
class MovieByteSource {
public:
    virtual ~MovieByteSource() = default;
    virtual uint64_t size() const = 0;
    // Fills the span from the offset; throws MovieFormatError when the bytes are not there and
    // std::system_error when reading fails.
    virtual void read(uint64_t offset, std::span<uint8_t> into) const = 0;
};

// Bytes held by the caller.
class MemoryByteSource final : public MovieByteSource {
public:
    explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t size() const override { return bytes_.size(); }
    void read(uint64_t offset, std::span<uint8_t> into) const override;

private:
    std::span<const uint8_t> bytes_;
};

// A file, opened read-only for the life of the source.
class FileByteSource final : public MovieByteSource {
public:
    // Throws std::system_error when the file cannot be opened, MovieFormatError when it is no
    // regular file.
    explicit FileByteSource(const std::filesystem::path &path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource &) = delete;
    FileByteSource &operator=(const FileByteSource &) = delete;

    uint64_t size() const override { return size_; }
    void read(uint64_t offset, std::span<uint8_t> into) const override;

private:
    int descriptor_;
    uint64_t size_;
};

} // namespace timecode
