#pragma once

#include "core/model/FrameRate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandrel::sample {

// A declarative description of an editor library, from which `SampleLibraryWriter` writes the
// bundle. Times are whole frames at the rate of the media or timeline that holds them, so
// every rational time text comes out exact.

// A source media file: an asset of its event's database.
struct Media {
    std::string identifier; // the media identifier
    std::string fileName;   // display name
    FrameRate rate = FrameRate::fps24;
    bool dropFrame = false;
    int64_t startFrame = 0; // start of the media's time range (its first timecode)
    int64_t durationFrames = 0;
    std::string videoFormatName = "1080p24";
    bool hasVideo = true;
    bool hasAudio = true;
    std::optional<double> audioSampleRate = 48000.0;
    // Logged on every clip made of the media ("shot" is the editor's key for the take).
    std::string reel;
    std::string scene;
    std::string take;
};

// A role and its sub-roles, as the event's role set lists them. An absent name is archived
// as the archiver's "$null".
struct Role {
    std::string uid;
    std::optional<std::string> name;
    std::vector<Role> subRoles;
};

// One item of a storyline.
struct Clip {
    enum class Kind { clip, gap, title };

    Kind kind = Kind::clip;
    std::string name;
    std::string media;       // identifier of the clip's media (clips only)
    int64_t sourceStart = 0; // first frame used, counted from the media's start
    int64_t durationFrames = 0;
    std::optional<std::string> roleUID;
    bool enabled = true;

    static Clip of(std::string name, std::string media, int64_t sourceStart, int64_t durationFrames,
                   std::optional<std::string> roleUID = std::nullopt) {
        return {Kind::clip,  std::move(name), std::move(media),
                sourceStart, durationFrames,  std::move(roleUID),
                true};
    }
    static Clip gap(int64_t durationFrames) {
        return {Kind::gap, "Gap", "", 0, durationFrames, std::nullopt, true};
    }
    static Clip title(std::string name, int64_t durationFrames) {
        return {Kind::title, std::move(name), "", 0, durationFrames, std::nullopt, true};
    }
};

// A sequence of an event: a project the user picks (`project`, or `sharedProject`, known
// only by its share metadata) or a sequence that is not a timeline (`plainSequence`, such as
// a compound clip's contents).
struct Timeline {
    enum class Kind { project, sharedProject, plainSequence };

    std::string name;
    std::string identifier; // of the sequence; made up from the name when empty
    Kind kind = Kind::project;
    FrameRate rate = FrameRate::fps24;
    int64_t startFrame = 0; // the timeline's first timecode
    std::vector<Clip> spine;
};

// An event: its folder below the bundle ("Day 1", or "Shoot Days/Day 2" for an event in a
// plain folder), its media, roles and timelines.
struct Event {
    std::string folder;
    std::vector<Media> media;
    std::vector<Role> roles;
    std::vector<Timeline> timelines;
};

struct LibraryDescription {
    std::string name = "Sample"; // the bundle is "<name>.fcpbundle"
    std::vector<Event> events;
};

} // namespace tandrel::sample
