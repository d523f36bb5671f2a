#pragma once

#include "tools/make-sample-library/LibraryDescription.h"

namespace tandrel::sample {

// The sample library "Sample": the demo's input and the base of the test fixtures. Events
// "Day 1" (with the nested event "Day 1/Selects") and "Shoot Days/Day 2" (an event inside a
// plain folder); media with reels, scenes and takes; a role set with sub-roles; projects,
// a shared project, an empty placeholder shadowed by its edited namesake in "Day 1/Selects",
// and a sequence that is no timeline. "Assembly" has connected clips on lanes 1, 2 and -1 and
// a connected storyline; "Effects" has retimes (two and three keypoints, reverse, freeze),
// a transform and stabilisation; "Multicam Edit" cuts between two angles of a multicam that
// lives in "Day 1/Selects". "Sample" (25 fps, 28 s, the demo's timeline) walks every path of
// the timeline resolver: a title and a generator, markers of all three kinds, connected clips
// on two lanes, a connected audio clip and a connected storyline, a gap carrying a connected
// clip, retimes (two and three keypoints, reverse), a transform with stabilisation, an
// audition, a multicam clip, and a compound clip whose sequence lives in "Day 1/Selects".
LibraryDescription standardSampleLibrary();

// The library "Large": one event whose timeline "Large" (25 fps) has `clips` spine items, a
// gap now and then among clips of three cameras, with connected clips, connected audio,
// markers, constant-speed retimes and speed ramps mixed in.
LibraryDescription largeSampleLibrary(int clips);

// Role UIDs of the sample's role set.
namespace roles {
inline constexpr const char *dialogue = "role.dialogue";
inline constexpr const char *dialogueBoom = "role.dialogue.boom";
inline constexpr const char *dialogueLav = "role.dialogue.lav";
inline constexpr const char *music = "role.music";
inline constexpr const char *effects = "role.effects";
inline constexpr const char *video = "role.video";
inline constexpr const char *titles = "role.video.titles";
} // namespace roles

// Media identifiers of the sample's multicams.
namespace multicams {
inline constexpr const char *kitchen = "MEDIA-MC-KITCHEN-0001";
inline constexpr const char *stage = "MEDIA-MC-STAGE-0001";
} // namespace multicams

// Media identifiers of the 25 fps media of the "Sample" timeline.
namespace media {
inline constexpr const char *a001 = "MEDIA-S-A001-0001";
inline constexpr const char *a002 = "MEDIA-S-A002-0001";
inline constexpr const char *b001 = "MEDIA-S-B001-0001";
inline constexpr const char *doorSlam = "MEDIA-S-SFX-0001";
inline constexpr const char *narration = "MEDIA-S-VO-0001";
} // namespace media

// Identifiers of the sample's compound-clip sequences.
namespace sequences {
inline constexpr const char *flashback = "SEQ-FLASHBACK-0001";
} // namespace sequences

} // namespace tandrel::sample
