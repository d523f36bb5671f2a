#pragma once

// Movies for the media tests, made by the ffmpeg command-line tool on first use and kept in the
// build tree under a name that carries a hash of the command, so that a changed command makes a
// new file. Tests that change a movie work on a copy in their own scratch folder.

#include "core/tests/LibraryFixture.h"
#include "timecode/av/MediaAsset.h"
#include "timecode/av/MovieBox.h"
#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace timecode::test {

using tandrel::testing::ScratchFolder;

namespace fixtures {
// 2 s of 25 fps video with a timecode track starting at 10:00:00:00.
std::filesystem::path timecode25();
// 2 s of 29.97 fps video with a drop-frame timecode track starting at 00:00:00;00.
std::filesystem::path timecode2997Drop();
// 2 s of 29.97 fps video with a non-drop timecode track starting at 00:00:00:00.
std::filesystem::path timecode2997();
// 2 s of 25 fps video, no timecode track.
std::filesystem::path noTimecode25();
// 1 s of interlaced 25 fps video (top field first, a 'fiel' box), no timecode track.
std::filesystem::path interlaced25();
// 1 s of sound alone.
std::filesystem::path audioOnly();
// 2 minutes of 25 fps video with a timecode track starting at 23:59:00:00.
std::filesystem::path nearMidnight25();
// An MPEG-4 file: 2 s of 25 fps video with a timecode track starting at 10:00:00:00.
std::filesystem::path mpeg4Timecode25();
// The same two as fast-start files: the movie box ahead of the media data.
std::filesystem::path fastStart25();
std::filesystem::path mpeg4FastStart25();
// A fragmented MPEG-4 file of 1 s of 25 fps video.
std::filesystem::path fragmented();
// 25 hours of video at one frame per hour, no timecode track.
std::filesystem::path dayLong();
} // namespace fixtures

// A copy of the file in the folder, to change.
std::filesystem::path copyInto(const ScratchFolder &folder, const std::filesystem::path &file);
std::string fileBytes(const std::filesystem::path &file);

// The streams of the file as ffprobe reports them (its JSON "streams" array).
nlohmann::json probedStreams(const std::filesystem::path &file);

// A digest of every packet of the video and sound streams, in file order, as ffmpeg reads them
// without decoding: equal for two files whose streams are bit for bit the same.
std::string packetDigests(const std::filesystem::path &file);

// The whole movie box of a file, parsed.
MovieBox movieBoxOf(const std::filesystem::path &file);

// What the error thrown by the function says; empty when it throws none.
std::string errorText(const std::function<void()> &function);

// Edits the movie box of the file as our writer saves one: the edited box is appended and the
// old one retired to a 'free' box.
void rewriteMovieBox(const std::filesystem::path &file,
                     const std::function<void(MovieBox &)> &edit);

} // namespace timecode::test
