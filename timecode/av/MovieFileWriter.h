#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace timecode {

// How a movie is changed on disk when it is saved: writes at offsets, a cut back to a size,
// and a flush to the storage. Each throws std::system_error when it fails. Saving goes through
// this interface so that failures can be staged.
class MovieFileWriter {
public:
    virtual ~MovieFileWriter() = default;
    virtual uint64_t size() = 0;
    // All of the bytes, or an exception.
    virtual void write(uint64_t offset, std::span<const uint8_t> bytes) = 0;
    virtual void truncate(uint64_t size) = 0;
    virtual void synchronize() = 0;
};

// The file itself, opened for reading and writing for the life of the writer. Opening throws
// std::system_error when the file cannot be opened, MovieFormatError when it is no regular file.
// Every failure names the file ("cannot write <path>: No space left on device").
class FileMovieWriter final : public MovieFileWriter {
public:
    explicit FileMovieWriter(const std::filesystem::path &path);
    ~FileMovieWriter() override;
    FileMovieWriter(const FileMovieWriter &) = delete;
    FileMovieWriter &operator=(const FileMovieWriter &) = delete;

    uint64_t size() override;
    void write(uint64_t offset, std::span<const uint8_t> bytes) override;
    void truncate(uint64_t size) override;
    void synchronize() override;

private:
    std::filesystem::path path_;
    int descriptor_;
};

} // namespace timecode
