#include "tools/make-sample-library/SampleLibraryWriter.h"

#include "tools/make-sample-library/EffectDocuments.h"
#include "tools/make-sample-library/KeyedArchiver.h"

#include <algorithm>
#include <numeric>
#include <span>

#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>

namespace tandrel::sample {

namespace {

using Collection = EventDatabaseWriter::Collection;
using Dict = PlistValue::Dictionary;

PlistValue text(std::string value) {
    return PlistValue::string(std::move(value));
}

// "{start,duration}", built by appending (GCC 12 warns wrongly about chained + here).
std::string braced(const std::string &start, const std::string &duration) {
    std::string text = "{";
    text.append(start).append(",").append(duration).append("}");
    return text;
}

std::string frameDurationText(FrameRate rate) {
    const auto rational = rate.rational();
    return std::to_string(rational.den) + "/" + std::to_string(rational.num);
}

PlistValue roleObject(const Role &role) {
    PlistValue::Array subRoles;
    for (const Role &sub : role.subRoles) {
        subRoles.push_back(roleObject(sub));
    }
    return PlistValue::dictionary({{"$class", text("FFRole")},
                                   {"uuid", text(role.uid)},
                                   {"name", text(role.name.value_or("$null"))},
                                   {"subRoles", PlistValue::array(std::move(subRoles))}});
}

// A rational number of seconds, as the library's time texts hold them.
struct Time {
    int64_t value = 0;
    int64_t timescale = 1;

    static Time frames(int64_t count, FrameRate rate) {
        const auto rational = rate.rational();
        return {count * rational.den, rational.num};
    }
    Time plus(Time other) const {
        const int64_t common = std::lcm(timescale, other.timescale);
        return {value * (common / timescale) + other.value * (common / other.timescale), common};
    }
    std::string text() const { return std::to_string(value) + "/" + std::to_string(timescale); }
};

std::string pairText(Time first, Time second) {
    return braced(first.text(), second.text());
}

// Where a connected item hangs: the own start of the item it is connected to, its distance
// from that item's first frame in timeline frames, and its lane.
struct Placement {
    Time containerStart;
    int64_t atFrame = 0;
    std::optional<int64_t> lane;
};

class EventWriter {
public:
    EventWriter(const Event &event, const std::filesystem::path &file,
                const SampleLibraryWriter::Options &options,
                std::map<std::string, const Multicam *> multicams,
                std::map<std::string, const Timeline *> sequences)
        : event_(event), db_(file), options_(options), multicams_(std::move(multicams)),
          sequences_(std::move(sequences)) {}

    void write() {
        writeRoles();
        for (const Media &media : event_.media) {
            media_.emplace(media.identifier, &media);
            writeAsset(media);
        }
        for (const Multicam &multicam : event_.multicams) {
            writeMulticam(multicam);
        }
        const int64_t projectData = add(
            {"FFMediaEventProjectData", uuid(), std::nullopt, archive(PlistValue::dictionary({}))});
        const int64_t projects =
            add({"NSSet", std::nullopt, std::string("projects"), std::nullopt}, projectData);
        for (const Timeline &timeline : event_.timelines) {
            writeTimeline(timeline, projects);
        }
        db_.close();
    }

private:
    std::string uuid() {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "5A3E%04X-7A11-4D0C-8E5B-%012X",
                      static_cast<unsigned>(std::hash<std::string>{}(event_.folder) & 0xFFFF),
                      ++counter_);
        return buffer;
    }

    Bytes archive(const PlistValue &root) {
        Bytes bytes = KeyedArchiver::archive(root, options_.format);
        if (options_.blobs) {
            options_.blobs->push_back(bytes);
        }
        return bytes;
    }

    PlistValue document(std::string text) {
        if (options_.effectDocuments) {
            options_.effectDocuments->push_back(text);
        }
        return PlistValue::data(Bytes(text.begin(), text.end()));
    }

    int64_t add(const Collection &collection, std::optional<int64_t> parent = std::nullopt) {
        return db_.add(collection, parent);
    }

    int64_t slot(int64_t parent, const std::string &name, std::optional<Bytes> blob = {}) {
        return add({"NSArray", std::nullopt, name, std::move(blob)}, parent);
    }

    // What a clip names by `clip.media` in one of the tables: its media or its multicam.
    template <typename T>
    static const T &named(const std::map<std::string, const T *> &table, const Clip &clip,
                          const char *what) {
        auto found = table.find(clip.media);
        if (found == table.end()) {
            throw std::invalid_argument("clip '" + clip.name + "' uses unknown " + what + " '" +
                                        clip.media + "'");
        }
        return *found->second;
    }
    const Media &media(const Clip &clip) const { return named(media_, clip, "media"); }
    const Multicam &multicam(const Clip &clip) const { return named(multicams_, clip, "multicam"); }
    const Timeline &sequence(const Clip &clip) const { return named(sequences_, clip, "sequence"); }

    // Where the item's own time starts: media time for clips, the multicam's time for
    // multicam clips, the active pick's for auditions, zero otherwise.
    Time ownStart(const Clip &clip, FrameRate timelineRate) const {
        switch (clip.kind) {
        case Clip::Kind::clip:
            return Time::frames(media(clip).startFrame + clip.sourceStart, media(clip).rate);
        case Clip::Kind::multicam:
            return Time::frames(multicam(clip).startFrame + clip.sourceStart, multicam(clip).rate);
        case Clip::Kind::compound:
            return Time::frames(sequence(clip).startFrame + clip.sourceStart, sequence(clip).rate);
        case Clip::Kind::audition:
            if (!clip.items.empty()) {
                return ownStart(clip.items.front(), timelineRate);
            }
            break;
        default:
            break;
        }
        return Time::frames(0, timelineRate);
    }

    static PlistValue clipMetadata(const Media &source,
                                   const std::optional<std::string> &notes = std::nullopt) {
        Dict metadata{{"reel", text(source.reel)},
                      {"scene", text(source.scene)},
                      {"shot", text(source.take)}};
        if (notes) {
            metadata.emplace("notes", text(*notes));
        }
        return PlistValue::dictionary(std::move(metadata));
    }

    // The frame size the editor records as a rectangle text.
    static PlistValue videoProps(int64_t width = 1920, int64_t height = 1080) {
        return PlistValue::dictionary({{"PB", text("{{0, 0}, {" + std::to_string(width) + ", " +
                                                   std::to_string(height) + "}}")}});
    }

    void writeRoles() {
        PlistValue::Array roles;
        for (const Role &role : event_.roles) {
            roles.push_back(roleObject(role));
        }
        const Bytes roleSet = archive(PlistValue::array(std::move(roles)));
        add({"FFMediaEventProject", uuid(), std::nullopt,
             archive(PlistValue::dictionary({{"roleSetData", PlistValue::data(roleSet)}}))});
    }

    void writeAsset(const Media &media) {
        Dict blob{
            {"mediaIdentifier", text(media.identifier)},
            {"displayName", text(media.fileName)},
            {"mediaRange", text(SampleLibraryWriter::rangeText(media.startFrame,
                                                               media.durationFrames, media.rate))},
            {"timecodeFrameDuration", text(frameDurationText(media.rate))},
            {"timecodeDisplayDropFrame", PlistValue::integer(media.dropFrame ? 1 : 0)},
            {"videoFormatName", text(media.videoFormatName)},
            {"hasVideo", PlistValue::boolean(media.hasVideo)},
            {"hasAudio", PlistValue::boolean(media.hasAudio)},
        };
        if (media.audioSampleRate) {
            blob.emplace("audioSampleRate", PlistValue::real(*media.audioSampleRate));
        }
        add({"FFAsset", media.identifier, std::nullopt,
             archive(PlistValue::dictionary(std::move(blob)))});
    }

    // The items of a storyline in the "containedItems" slot of `parent`. The join table lists
    // them in reverse: readers must take the editing order from the slot's archive, as with
    // the editor's own files.
    void writeContained(int64_t parent, const std::vector<Clip> &items, FrameRate rate) {
        std::vector<std::pair<std::string, const Clip *>> identified;
        PlistValue::Array order;
        for (const Clip &clip : items) {
            identified.emplace_back(uuid(), &clip);
            order.push_back(text(identified.back().first));
        }
        const int64_t contained =
            slot(parent, "containedItems", archive(PlistValue::array(std::move(order))));
        std::vector<int64_t> keys;
        for (const auto &[id, clip] : identified) {
            keys.push_back(writeItem(*clip, id, rate));
        }
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
            db_.link(contained, *it);
        }
    }

    void writeTimeline(const Timeline &timeline, int64_t projects) {
        const std::string identifier = timeline.identifier.empty() ? uuid() : timeline.identifier;
        Dict blob;
        switch (timeline.kind) {
        case Timeline::Kind::project:
            blob = {{"sequenceType", PlistValue::integer(0)},
                    {"audioSampleRate", PlistValue::real(48000.0)},
                    {"audioChannelCount", PlistValue::integer(2)},
                    {"metadata", PlistValue::dictionary({})}};
            break;
        case Timeline::Kind::sharedProject:
            blob = {{"metadata", PlistValue::dictionary({{"FFShareTitleKey", text(timeline.name)},
                                                         {"FFShareCreatorKey", text("Sample")}})}};
            break;
        case Timeline::Kind::plainSequence:
            blob = {{"mediaIdentifier", text(identifier)},
                    {"metadata", PlistValue::dictionary({})}};
            break;
        }
        const int64_t sequence = add({"FFAnchoredSequence", identifier, std::nullopt,
                                      archive(PlistValue::dictionary(std::move(blob)))},
                                     projects);
        int64_t length = 0;
        for (const Clip &clip : timeline.spine) {
            length += clip.durationFrames;
        }
        const FrameRate rate = timeline.rate;
        const int64_t infoSlot = slot(sequence, "sequenceInfo");
        add({"FFSequenceInfo", uuid(), std::nullopt,
             archive(PlistValue::dictionary(
                 {{"mediaRange",
                   text(SampleLibraryWriter::rangeText(timeline.startFrame, length, rate))},
                  {"timecodeFrameDuration", text(frameDurationText(rate))},
                  {"timecodeDisplayDropFrame", PlistValue::boolean(rate.isDropFrame())}}))},
            infoSlot);
        const int64_t storyline =
            writeSpine(sequence, timeline.name, timeline.startFrame, length, rate,
                       videoProps(timeline.frameWidth, timeline.frameHeight));
        writeContained(storyline, timeline.spine, rate);
    }

    // The sequence's primary storyline, without its items.
    int64_t writeSpine(int64_t sequence, const std::string &name, int64_t startFrame,
                       int64_t length, FrameRate rate, PlistValue frame = videoProps()) {
        const int64_t primary = slot(sequence, "primaryObject");
        return add(
            {"FFAnchoredCollection", uuid(), std::nullopt,
             archive(PlistValue::dictionary(
                 {{"displayName", text(name)},
                  {"clippedRange", text(SampleLibraryWriter::rangeText(startFrame, length, rate))},
                  {"unclippedStart", text(SampleLibraryWriter::timeText(startFrame, rate))},
                  {"videoProps", std::move(frame)}}))},
            primary);
    }

    // A multicam: a sequence known by its media identifier whose spine holds one item, on
    // which the angles hang, each a storyline of clips and gaps.
    void writeMulticam(const Multicam &multicam) {
        const FrameRate rate = multicam.rate;
        int64_t length = 0;
        for (const Angle &angle : multicam.angles) {
            int64_t angleLength = 0;
            for (const Clip &item : angle.items) {
                angleLength += item.durationFrames;
            }
            length = std::max(length, angleLength);
        }
        const int64_t sequence =
            add({"FFAnchoredSequence", uuid(), std::nullopt,
                 archive(PlistValue::dictionary({{"mediaIdentifier", text(multicam.identifier)},
                                                 {"displayName", text(multicam.name)},
                                                 {"metadata", PlistValue::dictionary({})}}))});
        const int64_t spine =
            writeSpine(sequence, multicam.name, multicam.startFrame, length, rate);
        const std::string containerID = uuid();
        const int64_t contained =
            slot(spine, "containedItems", archive(PlistValue::array({text(containerID)})));
        const std::string range = SampleLibraryWriter::rangeText(multicam.startFrame, length, rate);
        const int64_t container =
            add({"FFAnchoredCollection", containerID, std::nullopt,
                 archive(PlistValue::dictionary(
                     {{"displayName", text(multicam.name)}, {"clippedRange", text(range)}}))},
                contained);
        const int64_t angles = slot(container, "anchoredItems");
        int64_t lane = 0;
        for (const Angle &angle : multicam.angles) {
            const int64_t pk = add(
                {"FFAnchoredCollection", uuid(), std::nullopt,
                 archive(PlistValue::dictionary({{"angleID", text(angle.angleID)},
                                                 {"displayName", text(angle.name)},
                                                 {"anchoredLane", PlistValue::integer(++lane)}}))},
                angles);
            writeContained(pk, angle.items, rate);
        }
    }

    void writeEffects(const Clip &clip, int64_t item, Time start, FrameRate timelineRate) {
        if (clip.retime) {
            // Source frames count from the start of the media (or multicam) the clip shows.
            int64_t base = 0;
            double fps = timelineRate.fps();
            if (clip.kind == Clip::Kind::clip) {
                base = media(clip).startFrame;
                fps = media(clip).rate.fps();
            } else if (clip.kind == Clip::Kind::multicam) {
                base = multicam(clip).startFrame;
                fps = multicam(clip).rate.fps();
            }
            std::vector<EffectDocuments::TimeMapPoint> points;
            for (const auto &keypoint : clip.retime->timeMap) {
                const Time at = start.plus(Time::frames(keypoint.clipFrame, timelineRate));
                points.push_back({at.value, at.timescale,
                                  (static_cast<double>(base) + keypoint.sourceFrame) / fps});
            }
            add({"FFRetimingVideoEffect", uuid(), std::string("retimingEffect"),
                 archive(PlistValue::dictionary(
                     {{"channelData", document(EffectDocuments::retime(*clip.retime, points))}}))},
                item);
        }
        if (!clip.transform && !clip.stabilized) {
            return;
        }
        const int64_t stack =
            add({"FFEffectStack", uuid(), std::string("videoEffects"),
                 archive(PlistValue::dictionary({{"filterType", text("video")}}))},
                item);
        if (clip.transform) {
            add({"FFHeXForm3DEffect", uuid(), std::nullopt,
                 archive(PlistValue::dictionary(
                     {{"channelData", document(EffectDocuments::transform(*clip.transform))}}))},
                stack);
        }
        if (clip.stabilized) {
            add({"FFStabilizationEffect", uuid(), std::nullopt,
                 archive(PlistValue::dictionary(
                     {{"channelData", document(EffectDocuments::stabilization())}}))},
                stack);
        }
    }

    void writeChannelRoles(const Clip &clip, int64_t item) {
        if (clip.channelRoles.empty()) {
            return;
        }
        const int64_t layout = add({"FFAudioComponentsLayoutMap", uuid(),
                                    std::string("audioComponentsLayoutMap"), std::nullopt},
                                   item);
        for (const ChannelRole &role : clip.channelRoles) {
            Dict blob{{"roleUID", text(role.roleUID)}};
            if (role.firstChannel) {
                blob.emplace("channelMap", PlistValue::array({text(*role.firstChannel)}));
            }
            add({"FFMutableAudioClipComponentsLayoutItem", uuid(), std::nullopt,
                 archive(PlistValue::dictionary(std::move(blob)))},
                layout);
        }
    }

    // A marker one frame long in the clip's own time.
    int64_t writeMarker(const Marker &marker, Time clipStart, FrameRate timelineRate) {
        const Time at = clipStart.plus(Time::frames(marker.atFrame, timelineRate));
        Dict blob{{"clippedRange",
                   text(braced(at.text(), SampleLibraryWriter::timeText(1, timelineRate)))}};
        if (marker.name) {
            blob.emplace("displayName", text(*marker.name));
        }
        if (marker.kind == Marker::Kind::chapter) {
            blob.emplace("isChapter", PlistValue::boolean(true));
            if (marker.note) {
                blob.emplace("metadata", PlistValue::dictionary({{"notes", text(*marker.note)}}));
            }
        }
        if (marker.kind == Marker::Kind::todo) {
            blob.emplace("isTodo", PlistValue::boolean(true));
            if (marker.completed) {
                blob.emplace("completed", PlistValue::boolean(*marker.completed));
            }
        }
        return add({"FFAnchoredTimeMarker", uuid(), std::nullopt,
                    archive(PlistValue::dictionary(std::move(blob)))});
    }

    int64_t writeItem(const Clip &clip, const std::string &identifier, FrameRate timelineRate,
                      const std::optional<Placement> &placement = std::nullopt) {
        const Time start = ownStart(clip, timelineRate);
        const std::string range =
            braced(start.text(), SampleLibraryWriter::timeText(clip.durationFrames, timelineRate));
        Dict blob{{"displayName", text(clip.name)}};
        if (clip.kind != Clip::Kind::storyline && clip.kind != Clip::Kind::audition) {
            blob.emplace("clippedRange", text(range));
        }
        if (clip.kind != Clip::Kind::gap && clip.kind != Clip::Kind::title) {
            blob.emplace("playEnable", PlistValue::integer(clip.enabled ? 1 : 0));
        }
        if (clip.roleUID) {
            blob.emplace("roleUID", text(*clip.roleUID));
        }
        if (placement) {
            // The anchor pairs the item's own time with its container's at the connection
            // point; readers place the item by their difference.
            const Time first = clip.kind == Clip::Kind::storyline ? Time{0, 1} : start;
            const Time second =
                placement->containerStart.plus(Time::frames(placement->atFrame, timelineRate));
            blob.emplace("anchorPair", text(pairText(first, second)));
            if (placement->lane) {
                blob.emplace("anchoredLane", PlistValue::integer(*placement->lane));
            }
        }
        std::string type = "FFAnchoredCollection";
        switch (clip.kind) {
        case Clip::Kind::clip: {
            blob.emplace("metadata", clipMetadata(media(clip), clip.notes));
            if (media(clip).hasVideo) {
                blob.emplace("videoProps", videoProps());
            }
            break;
        }
        case Clip::Kind::gap:
            type = "FFAnchoredGapGeneratorComponent";
            break;
        case Clip::Kind::title:
        case Clip::Kind::generator:
            type = "FFAnchoredGeneratorComponent";
            break;
        case Clip::Kind::compound:
            type = "FFAnchoredClip";
            break;
        case Clip::Kind::multicam:
            type = "FFAnchoredAngle";
            blob.emplace("videoAngle", text(clip.angle));
            blob.emplace("audioAngles", PlistValue::array({text(clip.angle)}));
            break;
        case Clip::Kind::audition:
            type = "FFAnchoredStack";
            break;
        case Clip::Kind::storyline:
            break;
        }
        const int64_t item =
            add({type, identifier, std::nullopt, archive(PlistValue::dictionary(std::move(blob)))});
        switch (clip.kind) {
        case Clip::Kind::clip: {
            // The clip wraps the media's own clip, which carries the logged metadata too, and
            // that one the media component with its asset reference.
            const Media &source = media(clip);
            const int64_t mediaClip =
                add({"FFAnchoredCollection", uuid(), std::nullopt,
                     archive(PlistValue::dictionary({{"displayName", text(source.fileName)},
                                                     {"clippedRange", text(range)},
                                                     {"metadata", clipMetadata(source)}}))},
                    item);
            const int64_t component =
                add({"FFAnchoredMediaComponent", uuid(), std::nullopt,
                     archive(PlistValue::dictionary({{"clippedRange", text(range)}}))},
                    mediaClip);
            add({"FFAssetRef", uuid(), std::nullopt,
                 archive(PlistValue::dictionary({{"mediaIdentifier", text(source.identifier)},
                                                 {"displayName", text(source.fileName)}}))},
                component);
            break;
        }
        case Clip::Kind::title:
        case Clip::Kind::generator: {
            const char *effect =
                clip.kind == Clip::Kind::title ? "effect.video.title" : "effect.video.generator";
            add({"FFEffect", uuid(), std::string("effect"),
                 archive(PlistValue::dictionary({{"effectType", text(effect)}}))},
                item);
            break;
        }
        case Clip::Kind::compound:
            add({"FFClipRef", uuid(), std::nullopt,
                 archive(PlistValue::dictionary({{"mediaIdentifier", text(clip.media)}}))},
                slot(item, "media"));
            break;
        case Clip::Kind::multicam:
            add({"FFClipRef", uuid(), std::nullopt,
                 archive(PlistValue::dictionary({{"mediaIdentifier", text(clip.media)}}))},
                slot(item, "media"));
            break;
        case Clip::Kind::storyline:
            writeContained(item, clip.items, timelineRate);
            break;
        case Clip::Kind::audition: {
            const int64_t variants = slot(item, "activeVariant");
            for (const Clip &pick : clip.items) {
                db_.link(variants, writeItem(pick, uuid(), timelineRate));
            }
            break;
        }
        case Clip::Kind::gap:
            break;
        }
        writeEffects(clip, item, start, timelineRate);
        writeChannelRoles(clip, item);
        if (!clip.connected.empty() || !clip.markers.empty()) {
            const int64_t anchored = slot(item, "anchoredItems");
            for (const Marker &marker : clip.markers) {
                db_.link(anchored, writeMarker(marker, start, timelineRate));
            }
            for (const Connection &connection : clip.connected) {
                db_.link(anchored,
                         writeItem(connection.item, uuid(), timelineRate,
                                   Placement{start, connection.atFrame, connection.lane}));
            }
        }
        return item;
    }

    const Event &event_;
    EventDatabaseWriter db_;
    const SampleLibraryWriter::Options &options_;
    std::map<std::string, const Media *> media_;
    std::map<std::string, const Multicam *> multicams_;
    std::map<std::string, const Timeline *> sequences_;
    unsigned counter_ = 0;
};

std::map<std::string, const Multicam *> multicamsOf(std::span<const Event> events) {
    std::map<std::string, const Multicam *> multicams;
    for (const Event &event : events) {
        for (const Multicam &multicam : event.multicams) {
            multicams.emplace(multicam.identifier, &multicam);
        }
    }
    return multicams;
}

// The plain sequences of the library that compound clips name, by identifier.
std::map<std::string, const Timeline *> sequencesOf(std::span<const Event> events) {
    std::map<std::string, const Timeline *> sequences;
    for (const Event &event : events) {
        for (const Timeline &timeline : event.timelines) {
            if (timeline.kind == Timeline::Kind::plainSequence && !timeline.identifier.empty()) {
                sequences.emplace(timeline.identifier, &timeline);
            }
        }
    }
    return sequences;
}

} // namespace

std::string SampleLibraryWriter::timeText(int64_t frames, FrameRate rate) {
    const auto rational = rate.rational();
    std::string text = std::to_string(frames * rational.den);
    text.append("/").append(std::to_string(rational.num));
    return text;
}

std::string SampleLibraryWriter::rangeText(int64_t startFrames, int64_t durationFrames,
                                           FrameRate rate) {
    return braced(timeText(startFrames, rate), timeText(durationFrames, rate));
}

void SampleLibraryWriter::writeEvent(const Event &event, const std::filesystem::path &databaseFile,
                                     const Options &options) {
    EventWriter(event, databaseFile, options, multicamsOf({&event, 1}), sequencesOf({&event, 1}))
        .write();
}

std::filesystem::path SampleLibraryWriter::write(const LibraryDescription &library,
                                                 const std::filesystem::path &parent,
                                                 const Options &options) {
    const auto bundle = parent / (library.name + ".fcpbundle");
    if (std::filesystem::exists(bundle)) {
        throw std::runtime_error("library exists already: " + bundle.string());
    }
    std::filesystem::create_directories(bundle);
    for (const Event &event : library.events) {
        const auto folder = bundle / event.folder;
        std::filesystem::create_directories(folder / "Original Media");
        EventWriter(event, folder / "CurrentVersion.fcpevent", options, multicamsOf(library.events),
                    sequencesOf(library.events))
            .write();
    }
    return bundle;
}

} // namespace tandrel::sample
