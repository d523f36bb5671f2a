#pragma once

#include "timecode/av/MovieBox.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace timecode {

// Edits of a parsed movie box that the timecode writer makes. None moves or touches media data;
// moveMediaData follows media data that was moved.

// The IDs of the tracks with the 'tmcd' handler, in order.
std::vector<uint32_t> timecodeTrackIDs(const MovieBox &movie);

// The proposed ID when no track has it (and it is neither 0 nor the all-ones value), else one
// past the highest in use, else the lowest free one.
uint32_t unusedTrackID(const MovieBox &movie, uint32_t proposed);

// Adds the track box after the last track.
void insertTrack(MovieBox &movie, MovieBox track);

// Every video track gets a 'tmcd' reference to the timecode track (after those it has).
void addTimecodeReferences(MovieBox &movie, uint32_t timecodeTrackID);

// Drops the timecode tracks ('tmcd' handler) with these IDs and every reference to them; a
// track of any other kind stays, whatever its ID. A reference list left empty goes, and so does
// a reference box left empty.
void removeTimecodeTracks(MovieBox &movie, const std::set<uint32_t> &trackIDs);

// Why the tracks' sample tables cannot be trusted: a table ('stco', 'co64', 'stsz', 'stsc',
// 'stts', 'ctts', 'stss') whose count claims more entries than its box holds ("track 2's chunk
// offsets ('stco') claim 257 entries but hold 1"). Demuxers read such a count past the box,
// into whatever follows it, so the same table reads differently once the movie box moves.
// Nothing when every table holds what it claims.
std::optional<std::string> sampleTableProblem(const MovieBox &movie);

// Follows media data moved within the file: every chunk offset at or past `end` moves by `shift`
// bytes and those before `start` stay, in every track but the skipped ones. Answers why the
// media cannot be followed so, leaving the movie unchanged: samples in another file (a data
// reference that is not self-contained), data found through other offsets than chunk offsets
// ('saio', 'iloc'), a chunk within [start, end), an offset that would leave its table's field,
// or a damaged table. Answers nothing once every offset has moved.
std::optional<std::string> moveMediaData(MovieBox &movie, uint64_t start, uint64_t end,
                                         int64_t shift, const std::set<uint32_t> &skipping);

} // namespace timecode
