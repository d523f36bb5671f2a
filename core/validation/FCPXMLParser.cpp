#include "core/validation/FCPXMLParser.h"

#include "core/support/AsciiText.h"
#include "core/support/Numeric.h"
#include "core/support/RegularFile.h"
#include "core/support/UnicodeText.h"
#include "core/support/XMLSecurity.h"
#include "core/support/XMLStreamParser.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tandrel {

namespace fs = std::filesystem;

double FCPXMLParser::Rational::seconds() const {
    return denominator == 0 ? 0 : static_cast<double>(numerator) / static_cast<double>(denominator);
}

double FCPXMLParser::Sequence::fps() const {
    if (!frameDuration || frameDuration->numerator == 0) {
        return 24;
    }
    return static_cast<double>(frameDuration->denominator) /
           static_cast<double>(frameDuration->numerator);
}

const FCPXMLParser::Sequence *FCPXMLParser::Document::sequence(const std::string &named) const {
    const Sequence *anyKind = nullptr;
    for (const Sequence &candidate : sequences) {
        if (!equalIgnoringCase(candidate.name, named)) {
            continue;
        }
        if (candidate.kind == SequenceKind::project) {
            return &candidate;
        }
        if (!anyKind) {
            anyKind = &candidate;
        }
    }
    return anyKind;
}

const FCPXMLParser::Sequence *FCPXMLParser::Document::primaryTimeline() const {
    const auto count = [&](auto &&predicate) {
        return std::count_if(sequences.begin(), sequences.end(), predicate);
    };
    const auto isProject = [](const Sequence &s) { return s.kind == SequenceKind::project; };
    const auto isEventTimeline = [](const Sequence &s) { return s.isEventTimeline; };
    const auto projects = count(isProject);
    if (projects == 1) {
        return &*std::find_if(sequences.begin(), sequences.end(), isProject);
    }
    if (projects == 0 && count(isEventTimeline) == 1) {
        return &*std::find_if(sequences.begin(), sequences.end(), isEventTimeline);
    }
    if (sequences.empty()) {
        return nullptr;
    }
    // The first of the longest: max_element keeps the earliest of equals.
    return &*std::max_element(
        sequences.begin(), sequences.end(),
        [](const Sequence &a, const Sequence &b) { return a.clips.size() < b.clips.size(); });
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::fileNotFound(std::string path) {
    const std::string text = "FCPXML file not found: " + path;
    return ParseError(Case::fileNotFound, std::move(path), 0, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::notReadable(std::string path) {
    const std::string text = "FCPXML file could not be read: " + path;
    return ParseError(Case::notReadable, std::move(path), 0, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::tooLarge(std::string path, int64_t byteCount) {
    const std::string text =
        "FCPXML file is too large to validate (" + std::to_string(byteCount / 1'048'576) +
        " MB): " + path +
        ". A real FCPXML export is a few MB at most \u2014 this file may be corrupt or crafted.";
    return ParseError(Case::tooLarge, std::move(path), byteCount, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::xmlError(std::string message) {
    const std::string text = "FCPXML could not be parsed: " + message;
    return ParseError(Case::xmlError, std::move(message), 0, text);
}

namespace {

using Rational = FCPXMLParser::Rational;
using Sequence = FCPXMLParser::Sequence;
using SequenceKind = FCPXMLParser::SequenceKind;
using SpineClip = FCPXMLParser::SpineClip;
using Attributes = XMLStreamParser::Attributes;

// A time as FCPXML writes it: "1001/24000s", "3600s", "5/1". Surrounding spaces and tabs
// are allowed, a line break or a space before the unit is not; numerator and denominator are
// kept as written, and the denominator is never 0.
std::optional<Rational> parseRational(std::optional<std::string_view> attribute) {
    if (!attribute) {
        return std::nullopt;
    }
    std::string_view text = trimmingHorizontalWhitespace(*attribute);
    if (text.ends_with('s')) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        if (const auto whole = parseDecimalInt64(text)) {
            return Rational{*whole, 1};
        }
        return std::nullopt;
    }
    const auto numerator = parseDecimalInt64(text.substr(0, slash));
    const auto denominator = parseDecimalInt64(text.substr(slash + 1));
    if (!numerator || !denominator || *denominator == 0) {
        return std::nullopt;
    }
    return Rational{*numerator, *denominator};
}

std::optional<std::string> text(std::optional<std::string_view> attribute) {
    return attribute ? std::optional<std::string>(*attribute) : std::nullopt;
}

// The sequence being read.
struct SeqBuilder {
    std::string name;
    SequenceKind kind = SequenceKind::other;
    std::optional<std::string> formatID;
    double tcStartSeconds = 0;
    std::optional<std::string> mediaID;
    bool primarySpineFound = false;
    std::optional<size_t> primarySpineLevel;
    std::vector<SpineClip> clips;
};

// The state of one parse: the resources read so far, where the parse stands, and the
// finished sequences.
class DocumentReader : public XMLStreamParser::Delegate {
public:
    void startElement(std::string_view name, const Attributes &attributes) override {
        const std::string_view parent =
            elementStack_.empty() ? std::string_view() : std::string_view(elementStack_.back());
        const size_t depth = elementStack_.size();

        if (name == "fcpxml" && !version_) {
            version_ = text(attributes.find("version"));
        }
        if (const auto id = attributes.find("id")) {
            registerResource(name, std::string(*id), attributes);
        }
        if (name == "project") {
            currentProjectName_ = text(attributes.find("name"));
        } else if (name == "media") {
            const auto id = attributes.find("id");
            const auto mediaName = attributes.find("name");
            mediaIDStack_.emplace_back(id.value_or(""));
            mediaNameStack_.emplace_back(mediaName ? *mediaName : id ? *id : "Compound");
        } else if (name == "ref-clip") {
            if (const auto ref = attributes.find("ref"); ref && parent == "event") {
                eventTimelineMediaRefs_.emplace(*ref);
            }
        } else if (name == "sequence") {
            startSequence(attributes, parent);
        } else if (name == "spine") {
            if (builder_ && !builder_->primarySpineFound && parent == "sequence") {
                builder_->primarySpineFound = true;
                builder_->primarySpineLevel = depth + 1;
            }
        }
        // Every direct child of the primary storyline is an item, whatever its element.
        if (builder_ && builder_->primarySpineFound && builder_->primarySpineLevel == depth &&
            parent == "spine") {
            builder_->clips.push_back(makeSpineClip(name, attributes));
        }
        elementStack_.emplace_back(name);
    }

    void characters(std::string_view) override {}

    void endElement(std::string_view name) override {
        if (!elementStack_.empty()) {
            elementStack_.pop_back();
        }
        if (name == "sequence") {
            finalizeSequence();
        } else if (name == "media") {
            if (!mediaIDStack_.empty()) {
                mediaIDStack_.pop_back();
            }
            if (!mediaNameStack_.empty()) {
                mediaNameStack_.pop_back();
            }
        }
    }

    FCPXMLParser::Document finish() {
        finalizeSequence();
        // Decided over the whole document: exports list their resources (where the sequences
        // of compound clips stand) before the events whose ref-clips name them.
        for (size_t i = 0; i < sequences_.size(); ++i) {
            const auto &mediaID = sequenceMediaIDs_[i];
            sequences_[i].isEventTimeline = mediaID && eventTimelineMediaRefs_.contains(*mediaID);
        }
        return {std::move(version_), std::move(sequences_)};
    }

private:
    void registerResource(std::string_view element, std::string id, const Attributes &attributes) {
        if (element == "asset") {
            if (const auto name = attributes.find("name")) {
                assetNames_.insert_or_assign(id, std::string(*name));
            }
            assetUIDs_.insert_or_assign(std::move(id), text(attributes.find("uid")));
        } else if (element == "media") {
            if (const auto name = attributes.find("name")) {
                mediaNames_.insert_or_assign(std::move(id), std::string(*name));
            }
        } else if (element == "format") {
            if (const auto duration = parseRational(attributes.find("frameDuration"))) {
                formatFrameDurations_.insert_or_assign(std::move(id), *duration);
            }
        }
    }

    void startSequence(const Attributes &attributes, std::string_view parent) {
        // A sequence that never reached its end tag is dropped.
        SeqBuilder &builder = builder_.emplace();
        if (parent == "project") {
            builder.name = currentProjectName_.value_or("Untitled Project");
            builder.kind = SequenceKind::project;
        } else if (parent == "media") {
            if (!mediaIDStack_.empty() && !mediaIDStack_.back().empty()) {
                builder.mediaID = mediaIDStack_.back();
            }
            builder.name = mediaNameStack_.empty() ? "Compound" : mediaNameStack_.back();
            builder.kind = SequenceKind::media;
        } else {
            builder.name = "sequence";
            builder.kind = SequenceKind::other;
        }
        builder.formatID = text(attributes.find("format"));
        const auto tcStart = parseRational(attributes.find("tcStart"));
        builder.tcStartSeconds = tcStart ? tcStart->seconds() : 0;
    }

    SpineClip makeSpineClip(std::string_view element, const Attributes &attributes) const {
        SpineClip clip;
        clip.elementType = element;
        clip.name = attributes.find("name").value_or("");
        if (const auto ref = attributes.find("ref")) {
            clip.ref = std::string(*ref);
            // Only resources read before the item are known.
            if (const auto asset = assetUIDs_.find(*clip.ref); asset != assetUIDs_.end()) {
                clip.assetUID = asset->second;
                if (const auto name = assetNames_.find(*clip.ref); name != assetNames_.end()) {
                    clip.resourceName = name->second;
                }
            } else if (const auto media = mediaNames_.find(*clip.ref); media != mediaNames_.end()) {
                clip.resourceName = media->second;
            }
        }
        clip.offset = parseRational(attributes.find("offset")).value_or(Rational{0, 1});
        clip.start = parseRational(attributes.find("start"));
        clip.duration = parseRational(attributes.find("duration")).value_or(Rational{0, 1});
        return clip;
    }

    void finalizeSequence() {
        if (!builder_) {
            return;
        }
        Sequence sequence;
        sequence.name = std::move(builder_->name);
        sequence.kind = builder_->kind;
        sequence.formatID = std::move(builder_->formatID);
        if (sequence.formatID) {
            if (const auto format = formatFrameDurations_.find(*sequence.formatID);
                format != formatFrameDurations_.end()) {
                sequence.frameDuration = format->second;
            }
        }
        sequence.tcStartSeconds = builder_->tcStartSeconds;
        sequence.clips = std::move(builder_->clips);
        sequences_.push_back(std::move(sequence));
        sequenceMediaIDs_.push_back(std::move(builder_->mediaID));
        builder_.reset();
    }

    std::optional<std::string> version_;
    std::vector<Sequence> sequences_;
    // The id of the media element around each finished sequence, by position.
    std::vector<std::optional<std::string>> sequenceMediaIDs_;
    // Asset id → its uid; an asset without one still has an entry.
    std::unordered_map<std::string, std::optional<std::string>> assetUIDs_;
    std::unordered_map<std::string, std::string> assetNames_;
    std::unordered_map<std::string, std::string> mediaNames_;
    std::unordered_map<std::string, Rational> formatFrameDurations_;
    // The refs of ref-clips that stand directly in an event.
    std::unordered_set<std::string> eventTimelineMediaRefs_;
    std::vector<std::string> elementStack_;
    std::optional<std::string> currentProjectName_;
    std::vector<std::string> mediaNameStack_;
    std::vector<std::string> mediaIDStack_;
    std::optional<SeqBuilder> builder_;
};

// The file to read: the given path, or the "Info.fcpxml" of a bundle or folder that holds
// one. A folder without it stays as it is and fails to read.
fs::path resolveFCPXMLFile(const fs::path &path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        throw FCPXMLParser::ParseError::fileNotFound(path.string());
    }
    const std::string extension = asciiLowercased(path.extension().string());
    if (extension == ".fcpxmld" || status.type() == fs::file_type::directory) {
        const fs::path document = path / "Info.fcpxml";
        if (fs::exists(document, error)) {
            return document;
        }
    }
    return path;
}

} // namespace

FCPXMLParser::Document FCPXMLParser::parse(const fs::path &contentsOf) {
    const fs::path file = resolveFCPXMLFile(contentsOf);
    const RegularFileRead read = readRegularFile(file, maximumFileSize);
    switch (read.status) {
    case RegularFileRead::Status::read:
        break;
    case RegularFileRead::Status::notReadable:
        throw ParseError::notReadable(file.string());
    case RegularFileRead::Status::tooLarge:
        throw ParseError::tooLarge(file.string(), read.byteCount);
    }
    return parse({reinterpret_cast<const unsigned char *>(read.bytes.data()), read.bytes.size()},
                 file.filename().string());
}

FCPXMLParser::Document FCPXMLParser::parse(std::span<const unsigned char> data,
                                           const std::string &name) {
    XMLSecurity::rejectXMLEntityDeclarations(data, name);
    DocumentReader reader;
    XMLStreamParser::Failure failure;
    switch (XMLStreamParser::parse(data, reader, &failure)) {
    case XMLStreamParser::Outcome::finished:
        return reader.finish();
    case XMLStreamParser::Outcome::refused:
        // A declaration the guard's look at the beginning could not see (later in the
        // document, in UTF-16, past the examined bytes) is refused all the same.
        throw XMLSecurityError(XMLSecurityError::Case::entityDeclarationsRejected, name);
    case XMLStreamParser::Outcome::malformed:
        break;
    }
    const std::string line = std::to_string(failure.line);
    throw ParseError::xmlError(failure.description.empty()
                                   ? "unknown XML error at line " + line
                                   : failure.description + " (line " + line + ")");
}

} // namespace tandrel
