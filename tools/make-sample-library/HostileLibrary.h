#pragma once

#include "tools/make-sample-library/LibraryDescription.h"

#include <map>
#include <string>
#include <vector>

namespace tandrel::sample {

// The sample library (standardSampleLibrary) as an attacker would name it: the library, every
// event folder, timeline, clip, multicam angle, media file and role named with `texts` in
// turn (folders, the library's too, from the last text back), one text for each name of the
// sample, wherever that name stands (so names the sample repeats stay repeated: two timelines
// of one name in one event, a clip and its media). A text of more than 1 MiB names one
// timeline and nothing else, so that the library is not of hundreds of megabytes.
// A folder's name keeps what a folder can be named (bytes that are not UTF-8 too): no "/"
// (U+2215 in its place) and no NUL (U+2400), at most maxFolderNameBytes bytes cut where a
// character begins, and a number before it where two folders would be named alike: so short
// that a database's path in the library stays within what SQLite opens (512 bytes) wherever
// the library is written. Everything else (identifiers, times, rates, structure) stays the
// sample's, so the hostile library resolves as the sample does.
// What each name of the sample became: names (timelines, clips and the rest) and folder names
// (the library's and each part of an event's folder), by the sample's own.
struct HostileNaming {
    std::map<std::string, std::string> names;
    std::map<std::string, std::string> folders;
};
LibraryDescription hostileSampleLibrary(const std::vector<std::string> &texts,
                                        HostileNaming *naming = nullptr);
inline constexpr std::size_t maxFolderNameBytes = 60;

// A text as a folder may be named (see above), without telling it apart from others.
std::string folderNameOf(const std::string &text);

} // namespace tandrel::sample
