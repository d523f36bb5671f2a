#pragma once

#include "core/database/TransformParser.h"
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

// A retiming effect. Its time map maps the clip's own time to media time; each keypoint is
// given as a frame of the clip (timeline frames from the clip's first frame) and the media
// frame shown there (counted from the media's start, fractions allowed).
struct Retime {
    struct Keypoint {
        int64_t clipFrame = 0;
        double sourceFrame = 0;
    };

    double speedPercent = 100;
    bool reversed = false;
    // 0 floor, 1 nearest, 2 frame blending, 6 optical flow.
    int frameSampling = 0;
    std::vector<Keypoint> timeMap = {};
};

// A transform effect, with the values the editor stores (scale 1 is 100 %).
using Transform = TransformParser::TransformValues;

// A role carried by one channel of a clip's audio layout ("channelMap" starts with
// `firstChannel`; no channel map when absent).
struct ChannelRole {
    std::string roleUID;
    std::optional<std::string> firstChannel;
};

// A marker on a clip, `atFrame` timeline frames after the clip's first frame. A chapter
// marker carries `note`; a to-do marker may record `completed`.
struct Marker {
    enum class Kind { standard, chapter, todo };

    std::optional<std::string> name = {};
    Kind kind = Kind::standard;
    int64_t atFrame = 0;
    std::optional<std::string> note = {};
    std::optional<bool> completed = {};
};

struct Connection;

// One item of a storyline, or an item connected to one.
struct Clip {
    enum class Kind {
        clip,
        gap,
        title,
        // A multicam clip: `media` names the multicam, `angle` its active video angle, and
        // `sourceStart` counts frames from the multicam's start at its rate.
        multicam,
        // A connected storyline: its `items` follow one another; connected only.
        storyline,
        // An audition: its `items` are the picks, the first one active.
        audition,
        // A generator that is not a title.
        generator,
        // A compound clip: `media` names the sequence (a plain sequence's identifier) whose
        // contents it shows from `sourceStart`, in frames at that sequence's rate.
        compound,
    };

    Kind kind = Kind::clip;
    std::string name = {};
    std::string media = {};  // identifier of the clip's media (clips), of the multicam
    int64_t sourceStart = 0; // first frame used, counted from the media's start
    int64_t durationFrames = 0;
    std::optional<std::string> roleUID = {};
    bool enabled = true;
    std::string angle = {};
    std::optional<Retime> retime = {};
    std::optional<Transform> transform = {};
    bool stabilized = false;
    std::vector<ChannelRole> channelRoles = {};
    std::vector<Clip> items = {};
    // Items connected to this one.
    std::vector<Connection> connected = {};
    std::vector<Marker> markers = {};
    // The clip's notes, logged in its metadata.
    std::optional<std::string> notes = {};

    static Clip of(std::string name, std::string media, int64_t sourceStart, int64_t durationFrames,
                   std::optional<std::string> roleUID = std::nullopt);
    static Clip gap(int64_t durationFrames);
    static Clip title(std::string name, int64_t durationFrames);
    static Clip multicam(std::string name, std::string multicam, std::string angle,
                         int64_t sourceStart, int64_t durationFrames,
                         std::optional<std::string> roleUID = std::nullopt);
    static Clip storyline(std::string name, std::vector<Clip> members);
    static Clip audition(std::string name, std::vector<Clip> picks);
    static Clip generator(std::string name, int64_t durationFrames);
    static Clip compound(std::string name, std::string sequence, int64_t sourceStart,
                         int64_t durationFrames);

    // Modifiers, for descriptions that read as sentences.
    Clip disabled() const;
    // Constant speed: Speed curve and a two-keypoint time map over the clip.
    Clip atSpeed(double percent) const;
    // A speed ramp through the given keypoints (three or more).
    Clip ramped(std::vector<Retime::Keypoint> timeMap) const;
    // Plays backwards at normal speed (the Reverse curve; no time map).
    Clip reversed() const;
    // Holds its first frame: a two-keypoint time map that stays on one source frame.
    Clip frozen() const;
    Clip sampled(int frameSampling) const;
    Clip transformed(Transform transform) const;
    Clip stabilizedClip() const;
    Clip withChannelRoles(std::vector<ChannelRole> roles) const;
    Clip marked(Marker marker) const;
    Clip withNotes(std::string notes) const;
    // Connects `item` `atFrame` timeline frames after this clip's first frame, on `lane` (no
    // lane of its own when absent: it takes its container's).
    Clip connect(Clip item, int64_t atFrame, std::optional<int64_t> lane) const;
};

struct Connection {
    Clip item;
    int64_t atFrame = 0;
    std::optional<int64_t> lane = {};
};

inline Clip Clip::of(std::string name, std::string media, int64_t sourceStart,
                     int64_t durationFrames, std::optional<std::string> roleUID) {
    return {.kind = Kind::clip,
            .name = std::move(name),
            .media = std::move(media),
            .sourceStart = sourceStart,
            .durationFrames = durationFrames,
            .roleUID = std::move(roleUID)};
}

inline Clip Clip::gap(int64_t durationFrames) {
    return {.kind = Kind::gap, .name = "Gap", .durationFrames = durationFrames};
}

inline Clip Clip::title(std::string name, int64_t durationFrames) {
    return {.kind = Kind::title, .name = std::move(name), .durationFrames = durationFrames};
}

inline Clip Clip::multicam(std::string name, std::string multicam, std::string angle,
                           int64_t sourceStart, int64_t durationFrames,
                           std::optional<std::string> roleUID) {
    return {.kind = Kind::multicam,
            .name = std::move(name),
            .media = std::move(multicam),
            .sourceStart = sourceStart,
            .durationFrames = durationFrames,
            .roleUID = std::move(roleUID),
            .angle = std::move(angle)};
}

inline Clip Clip::storyline(std::string name, std::vector<Clip> members) {
    int64_t length = 0;
    for (const Clip &member : members) {
        length += member.durationFrames;
    }
    return {.kind = Kind::storyline,
            .name = std::move(name),
            .durationFrames = length,
            .items = std::move(members)};
}

inline Clip Clip::audition(std::string name, std::vector<Clip> picks) {
    const int64_t length = picks.empty() ? 0 : picks.front().durationFrames;
    return {.kind = Kind::audition,
            .name = std::move(name),
            .durationFrames = length,
            .items = std::move(picks)};
}

inline Clip Clip::generator(std::string name, int64_t durationFrames) {
    return {.kind = Kind::generator, .name = std::move(name), .durationFrames = durationFrames};
}

inline Clip Clip::compound(std::string name, std::string sequence, int64_t sourceStart,
                           int64_t durationFrames) {
    return {.kind = Kind::compound,
            .name = std::move(name),
            .media = std::move(sequence),
            .sourceStart = sourceStart,
            .durationFrames = durationFrames};
}

inline Clip Clip::marked(Marker marker) const {
    Clip clip = *this;
    clip.markers.push_back(std::move(marker));
    return clip;
}

inline Clip Clip::withNotes(std::string notes) const {
    Clip clip = *this;
    clip.notes = std::move(notes);
    return clip;
}

inline Clip Clip::disabled() const {
    Clip clip = *this;
    clip.enabled = false;
    return clip;
}

inline Clip Clip::atSpeed(double percent) const {
    Clip clip = *this;
    clip.retime = Retime{.speedPercent = percent,
                         .timeMap = {{0, static_cast<double>(sourceStart)},
                                     {durationFrames, static_cast<double>(sourceStart) +
                                                          durationFrames * percent / 100}}};
    return clip;
}

inline Clip Clip::ramped(std::vector<Retime::Keypoint> timeMap) const {
    Clip clip = *this;
    clip.retime = Retime{.timeMap = std::move(timeMap)};
    return clip;
}

inline Clip Clip::reversed() const {
    Clip clip = *this;
    clip.retime = Retime{.reversed = true};
    return clip;
}

inline Clip Clip::frozen() const {
    Clip clip = *this;
    const auto frame = static_cast<double>(sourceStart);
    clip.retime = Retime{.speedPercent = 0, .timeMap = {{0, frame}, {durationFrames, frame}}};
    return clip;
}

inline Clip Clip::sampled(int frameSampling) const {
    Clip clip = *this;
    clip.retime = clip.retime.value_or(Retime{});
    clip.retime->frameSampling = frameSampling;
    return clip;
}

inline Clip Clip::transformed(Transform transform) const {
    Clip clip = *this;
    clip.transform = transform;
    return clip;
}

inline Clip Clip::stabilizedClip() const {
    Clip clip = *this;
    clip.stabilized = true;
    return clip;
}

inline Clip Clip::withChannelRoles(std::vector<ChannelRole> roles) const {
    Clip clip = *this;
    clip.channelRoles = std::move(roles);
    return clip;
}

inline Clip Clip::connect(Clip item, int64_t atFrame, std::optional<int64_t> lane) const {
    Clip clip = *this;
    clip.connected.push_back({std::move(item), atFrame, lane});
    return clip;
}

// One angle of a multicam: its clips and gaps one after another from the multicam's start, in
// frames at the multicam's rate.
struct Angle {
    std::string angleID;
    std::string name;
    std::vector<Clip> items;
};

// A multicam clip's contents: a sequence of its event known by its media identifier, whose
// angles hang on the one item of its spine.
struct Multicam {
    std::string identifier;
    std::string name;
    FrameRate rate = FrameRate::fps24;
    int64_t startFrame = 0; // the multicam's first timecode
    std::vector<Angle> angles;
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
    // The frame size in pixels.
    int64_t frameWidth = 1920;
    int64_t frameHeight = 1080;
};

// An event: its folder below the bundle ("Day 1", or "Shoot Days/Day 2" for an event in a
// plain folder), its media, roles, timelines and multicams.
struct Event {
    std::string folder;
    std::vector<Media> media;
    std::vector<Role> roles;
    std::vector<Timeline> timelines;
    std::vector<Multicam> multicams = {};
};

struct LibraryDescription {
    std::string name = "Sample"; // the bundle is "<name>.fcpbundle"
    std::vector<Event> events;
};

} // namespace tandrel::sample
