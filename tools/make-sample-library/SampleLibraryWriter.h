#pragma once

#include "tools/make-sample-library/EventDatabaseWriter.h"
#include "tools/make-sample-library/LibraryDescription.h"
#include "tools/make-sample-library/PlistWriter.h"

#include <filesystem>
#include <vector>

namespace tandrel::sample {

// Writes a described library as a bundle folder: one folder per event with its
// "CurrentVersion.fcpevent" and an empty "Original Media" folder. Identifiers are made up
// from a counter, so the same description always gives the same files.
class SampleLibraryWriter {
public:
    struct Options {
        PlistFormat format = PlistFormat::binary;
        // When given, receives every blob written, in writing order.
        std::vector<Bytes> *blobs = nullptr;
        // When given, receives every effect parameter document written, in writing order.
        std::vector<std::string> *effectDocuments = nullptr;
    };

    // Writes "<parent>/<name>.fcpbundle" (which must not exist yet) and returns its path.
    static std::filesystem::path write(const LibraryDescription &library,
                                       const std::filesystem::path &parent, const Options &options);
    static std::filesystem::path write(const LibraryDescription &library,
                                       const std::filesystem::path &parent) {
        return write(library, parent, Options{});
    }
    // Writes one event database file; its multicam clips must use its own multicams.
    static void writeEvent(const Event &event, const std::filesystem::path &databaseFile,
                           const Options &options);

    // The rational time text of `frames` frames at `rate` ("1001/24000" for one 23.976 frame)
    // and the range text "{start,duration}".
    static std::string timeText(int64_t frames, FrameRate rate);
    static std::string rangeText(int64_t startFrames, int64_t durationFrames, FrameRate rate);
};

} // namespace tandrel::sample
