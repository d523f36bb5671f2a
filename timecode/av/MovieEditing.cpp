#include "timecode/av/MovieEditing.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/MovieFormatError.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/core/NumericUtilities.h"

#include <algorithm>
#include <limits>
#include <string_view>

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

namespace {

constexpr uint32_t kSelfContained = 0x000001;

// Why the track's samples may lie in another file: a data reference without the
// self-contained flag. A track without data references keeps its samples in the file. Throws
// MovieFormatError for a damaged table.
std::optional<std::string> externalData(const MovieBox &track) {
    const MovieBox *references = track.find(
        {fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("dinf"), fourCharCode("dref")});
    if (references == nullptr) {
        return std::nullopt;
    }
    BigEndianReader reader(references->payload, "data references");
    reader.skip(4);
    const uint32_t count = reader.u32();
    for (uint32_t i = 0; i < count; ++i) {
        const auto entry =
            movieBoxAtFront(std::span(references->payload).subspan(reader.position()));
        if (!entry || !entry->fits) {
            throw MovieFormatError("damaged data references");
        }
        if ((BigEndianReader(entry->payload, "data reference").u32() & kSelfContained) == 0) {
            return "samples kept in another file";
        }
        reader.skip(static_cast<size_t>(entry->size));
    }
    return std::nullopt;
}

bool holdsType(std::span<const uint8_t> bytes, std::string_view type) {
    return std::search(bytes.begin(), bytes.end(), type.begin(), type.end()) != bytes.end();
}

// Moves the offsets of one 'stco' or 'co64' table; answers why it cannot.
std::optional<std::string> moveChunkOffsets(MovieBox &table, uint64_t start, uint64_t end,
                                            int64_t shift) {
    const bool wide = table.type == fourCharCode("co64");
    const uint64_t limit =
        wide ? std::numeric_limits<uint64_t>::max() : std::numeric_limits<uint32_t>::max();
    BigEndianReader reader(table.payload, "chunk offsets");
    const uint32_t versionAndFlags = reader.u32();
    const uint32_t count = reader.u32();
    if (reader.remaining() / (wide ? 8 : 4) < count) {
        throw MovieFormatError("truncated chunk offsets");
    }
    std::vector<uint8_t> payload;
    BigEndianWriter writer(payload);
    writer.u32(versionAndFlags).u32(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t offset = wide ? reader.u64() : reader.u32();
        if (offset >= end) {
            const Int128 moved = static_cast<Int128>(offset) + shift;
            if (moved < 0 || moved > static_cast<Int128>(limit)) {
                return "a chunk offset that would leave its table's " +
                       std::string(wide ? "64" : "32") + " bits";
            }
            offset = static_cast<uint64_t>(moved);
        } else if (offset >= start) {
            return "a chunk within the movie box";
        }
        if (wide) {
            writer.u64(offset);
        } else {
            writer.u32(static_cast<uint32_t>(offset));
        }
    }
    // Whatever follows the entries stays as it was.
    writer.bytes(reader.rest());
    table.payload = std::move(payload);
    return std::nullopt;
}

} // namespace

std::optional<std::string> sampleTableProblem(const MovieBox &movie) {
    struct Table {
        FourCharCode type;
        const char *what;
        // Bytes before the count, after the version and flags; bytes per entry.
        size_t skipped;
        size_t entryBytes;
    };
    static constexpr Table tables[] = {
        {fourCharCode("stco"), "chunk offsets", 0, 4},
        {fourCharCode("co64"), "chunk offsets", 0, 8},
        {fourCharCode("stsz"), "sample sizes", 4, 4},
        {fourCharCode("stsc"), "samples per chunk", 0, 12},
        {fourCharCode("stts"), "sample times", 0, 8},
        {fourCharCode("ctts"), "composition offsets", 0, 8},
        {fourCharCode("stss"), "sync samples", 0, 4},
    };
    for (const MovieBox &track : movie.children) {
        const MovieBox *samples =
            isTrack(track)
                ? track.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("stbl")})
                : nullptr;
        if (samples == nullptr) {
            continue;
        }
        for (const MovieBox &box : samples->children) {
            for (const Table &table : tables) {
                if (box.type != table.type) {
                    continue;
                }
                const std::string name = "track " + std::to_string(movieTrackID(track)) + "'s " +
                                         table.what + " ('" + fourCharCodeText(table.type) + "')";
                if (box.payload.size() < 8 + table.skipped) {
                    return name + " are cut short";
                }
                BigEndianReader reader(box.payload, table.what);
                reader.skip(4);
                // A sample size table with one size for every sample lists none.
                const uint32_t size = table.skipped > 0 ? reader.u32() : 0;
                const uint64_t count = reader.u32();
                const uint64_t held = reader.remaining() / table.entryBytes;
                if (size == 0 && count > held) {
                    return name + " claim " + std::to_string(count) + " entries but hold " +
                           std::to_string(held);
                }
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> moveMediaData(MovieBox &movie, uint64_t start, uint64_t end,
                                         int64_t shift, const std::set<uint32_t> &skipping) {
    // Item locations hold offsets of their own. The type is looked for in every byte, so that
    // one nested in any 'meta' box is found; a chance match only keeps the media where it is.
    if (holdsType(movie.serialized(), "iloc")) {
        return "item locations ('iloc')";
    }
    MovieBox moved = movie;
    try {
        for (MovieBox &track : moved.children) {
            if (!isTrack(track) || skipping.contains(movieTrackID(track))) {
                continue;
            }
            MovieBox *table =
                track.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("stbl")});
            if (table == nullptr) {
                continue;
            }
            if (auto why = externalData(track)) {
                return why;
            }
            for (MovieBox &box : table->children) {
                if (box.type == fourCharCode("saio")) {
                    return "sample auxiliary information offsets ('saio')";
                }
                if (box.type == fourCharCode("stco") || box.type == fourCharCode("co64")) {
                    if (auto why = moveChunkOffsets(box, start, end, shift)) {
                        return why;
                    }
                }
            }
        }
    } catch (const MovieFormatError &error) {
        return std::string(error.what());
    }
    movie = std::move(moved);
    return std::nullopt;
}

} // namespace timecode
