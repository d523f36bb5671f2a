#include "timecode/av/LibavInput.h"

#include "timecode/av/MediaParseError.h"
#include "timecode/av/MovieFormatError.h"
#include "timecode/av/RegularFile.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

#include <fcntl.h>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace timecode {

std::string libavErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

LibavInput::LibavInput(const std::filesystem::path &path) {
    // The demuxer would wait on a FIFO or a device for ever: what is at the path is looked at
    // first, without waiting.
    try {
        ::close(openRegularFile(path, O_RDONLY));
    } catch (const MovieFormatError &error) {
        throw MediaParseError(MediaParseError::internalError, path.string() + ": " + error.what());
    } catch (const std::system_error &error) {
        throw MediaParseError(MediaParseError::internalError,
                              path.string() + ": " + error.code().message());
    }
    int result = avformat_open_input(&context_, path.c_str(), nullptr, nullptr);
    if (result < 0) {
        throw MediaParseError(MediaParseError::internalError,
                              path.string() + ": " + libavErrorText(result));
    }
    // Formats without a header find their streams only by reading; movies never need this.
    if ((context_->ctx_flags & AVFMTCTX_NOHEADER) != 0) {
        result = avformat_find_stream_info(context_, nullptr);
        if (result < 0) {
            avformat_close_input(&context_);
            throw MediaParseError(MediaParseError::internalError,
                                  path.string() + ": " + libavErrorText(result));
        }
    }
}

bool LibavInput::opens(const std::filesystem::path &path) {
    try {
        const LibavInput input(path);
        return true;
    } catch (const MediaParseError &) {
        return false;
    }
}

LibavInput::~LibavInput() {
    avformat_close_input(&context_);
}

bool LibavInput::isQuickTimeFamily() const {
    return std::string_view(context_->iformat->name).starts_with("mov,");
}

uint32_t LibavInput::trackID(const AVStream &stream) const {
    return isQuickTimeFamily() ? static_cast<uint32_t>(stream.id)
                               : static_cast<uint32_t>(stream.index) + 1;
}

} // namespace timecode
