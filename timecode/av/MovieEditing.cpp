#include "timecode/av/MovieEditing.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/MovieTrackRecord.h"

#include <algorithm>
#include <limits>

namespace timecode {

namespace {

bool isTrack(const MovieBox &box) {
    return box.type == fourCharCode("trak");
}

std::vector<uint32_t> readIDs(const MovieBox &list) {
    std::vector<uint32_t> ids;
    BigEndianReader reader(list.payload, "track references");
    while (reader.remaining() >= 4) {
        ids.push_back(reader.u32());
    }
    return ids;
}

void writeIDs(MovieBox &list, const std::vector<uint32_t> &ids) {
    list.payload.clear();
    BigEndianWriter writer(list.payload);
    for (uint32_t id : ids) {
        writer.u32(id);
    }
}

} // namespace

std::vector<uint32_t> timecodeTrackIDs(const MovieBox &movie) {
    std::vector<uint32_t> ids;
    for (const MovieBox &box : movie.children) {
        if (isTrack(box) && movieTrackHandlerType(box) == fourCharCode("tmcd")) {
            ids.push_back(movieTrackID(box));
        }
    }
    return ids;
}

uint32_t unusedTrackID(const MovieBox &movie, uint32_t proposed) {
    std::set<uint32_t> used;
    for (const MovieBox &box : movie.children) {
        if (isTrack(box)) {
            used.insert(movieTrackID(box));
        }
    }
    constexpr uint32_t allOnes = std::numeric_limits<uint32_t>::max();
    if (proposed != 0 && proposed != allOnes && !used.contains(proposed)) {
        return proposed;
    }
    const uint32_t highest = used.empty() ? 0 : *used.rbegin();
    if (highest < allOnes - 1) {
        return highest + 1;
    }
    uint32_t candidate = 1;
    while (used.contains(candidate)) {
        ++candidate;
    }
    return candidate;
}

void insertTrack(MovieBox &movie, MovieBox track) {
    const auto lastTrack = std::find_if(movie.children.rbegin(), movie.children.rend(), isTrack);
    movie.children.insert(lastTrack.base(), std::move(track));
}

void addTimecodeReferences(MovieBox &movie, uint32_t timecodeTrackID) {
    for (MovieBox &track : movie.children) {
        if (!isTrack(track) || movieTrackHandlerType(track) != fourCharCode("vide")) {
            continue;
        }
        MovieBox *references = track.child(fourCharCode("tref"));
        if (references == nullptr) {
            const auto media =
                std::find_if(track.children.begin(), track.children.end(),
                             [](const MovieBox &box) { return box.type == fourCharCode("mdia"); });
            references = &*track.children.insert(media, MovieBox::container(fourCharCode("tref")));
        }
        MovieBox *list = references->child(fourCharCode("tmcd"));
        if (list == nullptr) {
            references->children.push_back(MovieBox::leaf(fourCharCode("tmcd"), {}));
            list = &references->children.back();
        }
        std::vector<uint32_t> ids = readIDs(*list);
        if (std::find(ids.begin(), ids.end(), timecodeTrackID) == ids.end()) {
            ids.push_back(timecodeTrackID);
            writeIDs(*list, ids);
        }
    }
}

void removeTimecodeTracks(MovieBox &movie, const std::set<uint32_t> &trackIDs) {
    std::set<uint32_t> removed;
    std::erase_if(movie.children, [&](const MovieBox &box) {
        if (!isTrack(box) || movieTrackHandlerType(box) != fourCharCode("tmcd") ||
            !trackIDs.contains(movieTrackID(box))) {
            return false;
        }
        removed.insert(movieTrackID(box));
        return true;
    });
    for (MovieBox &track : movie.children) {
        MovieBox *references = isTrack(track) ? track.child(fourCharCode("tref")) : nullptr;
        if (references == nullptr) {
            continue;
        }
        std::vector<MovieBox> kept;
        for (MovieBox &list : references->children) {
            std::vector<uint32_t> ids = readIDs(list);
            if (std::erase_if(ids, [&](uint32_t id) { return removed.contains(id); }) > 0) {
                if (ids.empty()) {
                    continue;
                }
                writeIDs(list, ids);
            }
            kept.push_back(std::move(list));
        }
        references->children = std::move(kept);
        if (references->children.empty() && references->trailing.empty()) {
            std::erase_if(track.children,
                          [](const MovieBox &box) { return box.type == fourCharCode("tref"); });
        }
    }
}

} // namespace timecode
