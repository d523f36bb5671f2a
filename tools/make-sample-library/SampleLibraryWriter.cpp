#include "tools/make-sample-library/SampleLibraryWriter.h"

#include "tools/make-sample-library/KeyedArchiver.h"

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

class EventWriter {
public:
    EventWriter(const Event &event, const std::filesystem::path &file,
                const SampleLibraryWriter::Options &options)
        : event_(event), db_(file), options_(options) {}

    void write() {
        writeRoles();
        for (const Media &media : event_.media) {
            media_.emplace(media.identifier, &media);
            writeAsset(media);
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

    int64_t add(const Collection &collection, std::optional<int64_t> parent = std::nullopt) {
        return db_.add(collection, parent);
    }

    int64_t slot(int64_t parent, const std::string &name, std::optional<Bytes> blob = {}) {
        return add({"NSArray", std::nullopt, name, std::move(blob)}, parent);
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

        const int64_t primary = slot(sequence, "primaryObject");
        const int64_t storyline =
            add({"FFAnchoredCollection", uuid(), std::nullopt,
                 archive(PlistValue::dictionary(
                     {{"displayName", text(timeline.name)},
                      {"clippedRange",
                       text(SampleLibraryWriter::rangeText(timeline.startFrame, length, rate))},
                      {"unclippedStart",
                       text(SampleLibraryWriter::timeText(timeline.startFrame, rate))}}))},
                primary);
        std::vector<std::pair<std::string, const Clip *>> items;
        for (const Clip &clip : timeline.spine) {
            items.emplace_back(uuid(), &clip);
        }
        PlistValue::Array order;
        for (const auto &item : items) {
            order.push_back(text(item.first));
        }
        const int64_t contained =
            slot(storyline, "containedItems", archive(PlistValue::array(std::move(order))));
        // The join table lists the items in reverse: readers must take the editing order from
        // the slot's archive, as with the editor's own files.
        std::vector<int64_t> keys;
        for (const auto &[id, clip] : items) {
            keys.push_back(writeItem(*clip, id, rate));
        }
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
            db_.link(contained, *it);
        }
    }

    int64_t writeItem(const Clip &clip, const std::string &identifier, FrameRate timelineRate) {
        switch (clip.kind) {
        case Clip::Kind::gap:
            return add({"FFAnchoredGapGeneratorComponent", identifier, std::nullopt,
                        archive(PlistValue::dictionary(
                            {{"displayName", text(clip.name)},
                             {"clippedRange", text(SampleLibraryWriter::rangeText(
                                                  0, clip.durationFrames, timelineRate))}}))});
        case Clip::Kind::title: {
            const int64_t title =
                add({"FFAnchoredGeneratorComponent", identifier, std::nullopt,
                     archive(PlistValue::dictionary(
                         {{"displayName", text(clip.name)},
                          {"clippedRange", text(SampleLibraryWriter::rangeText(
                                               0, clip.durationFrames, timelineRate))}}))});
            add({"FFEffect", uuid(), std::string("effect"),
                 archive(PlistValue::dictionary({{"effectType", text("effect.video.title")}}))},
                title);
            return title;
        }
        case Clip::Kind::clip:
            break;
        }
        auto found = media_.find(clip.media);
        if (found == media_.end()) {
            throw std::invalid_argument("clip '" + clip.name + "' uses unknown media '" +
                                        clip.media + "'");
        }
        const Media &media = *found->second;
        // The clip's range in its media's own time; its length in timeline frames.
        const std::string start =
            SampleLibraryWriter::timeText(media.startFrame + clip.sourceStart, media.rate);
        const std::string range =
            braced(start, SampleLibraryWriter::timeText(clip.durationFrames, timelineRate));
        Dict blob{{"displayName", text(clip.name)},
                  {"clippedRange", text(range)},
                  {"playEnable", PlistValue::integer(clip.enabled ? 1 : 0)},
                  {"metadata", PlistValue::dictionary({{"reel", text(media.reel)},
                                                       {"scene", text(media.scene)},
                                                       {"shot", text(media.take)}})}};
        if (clip.roleUID) {
            blob.emplace("roleUID", text(*clip.roleUID));
        }
        const int64_t item = add({"FFAnchoredCollection", identifier, std::nullopt,
                                  archive(PlistValue::dictionary(std::move(blob)))});
        const int64_t component =
            add({"FFAnchoredMediaComponent", uuid(), std::nullopt,
                 archive(PlistValue::dictionary({{"clippedRange", text(range)}}))},
                item);
        add({"FFAssetRef", uuid(), std::nullopt,
             archive(PlistValue::dictionary({{"mediaIdentifier", text(media.identifier)},
                                             {"displayName", text(media.fileName)}}))},
            component);
        return item;
    }

    const Event &event_;
    EventDatabaseWriter db_;
    const SampleLibraryWriter::Options &options_;
    std::map<std::string, const Media *> media_;
    unsigned counter_ = 0;
};

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
    EventWriter(event, databaseFile, options).write();
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
        writeEvent(event, folder / "CurrentVersion.fcpevent", options);
    }
    return bundle;
}

} // namespace tandrel::sample
