#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

struct AVFormatContext;
struct AVStream;

namespace timecode {

// A media file opened with libavformat for the life of the value: its header read, its
// streams known. The asset reads its tracks through one; every sample reader opens its own.
class LibavInput {
public:
    // Throws MediaParseError::internalError, with the reason, when the file cannot be opened, is
    // no regular file, or cannot be read as media.
    explicit LibavInput(const std::filesystem::path &path);
    // Whether the file opens so.
    static bool opens(const std::filesystem::path &path);
    ~LibavInput();
    LibavInput(const LibavInput &) = delete;
    LibavInput &operator=(const LibavInput &) = delete;

    AVFormatContext *context() const { return context_; }
    // Read by the QuickTime and MPEG-4 demuxer, whose streams are the file's tracks.
    bool isQuickTimeFamily() const;
    // The track ID of a stream: the file's own for QuickTime and MPEG-4, else the stream's
    // position counted from 1.
    uint32_t trackID(const AVStream &stream) const;

private:
    AVFormatContext *context_ = nullptr;
};

// libavformat's text for an error code.
std::string libavErrorText(int code);

} // namespace timecode
