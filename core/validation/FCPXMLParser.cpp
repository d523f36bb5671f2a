#include "core/validation/FCPXMLParser.h"

#include "core/support/AsciiText.h"
#include "core/support/Numeric.h"
#include "core/support/RegularFile.h"
#include "core/support/UnicodeText.h"
#include "core/support/XMLSecurity.h"
#include "core/support/XMLStreamParser.h"

#include <algorithm>
#include <set>
#include <system_error>
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
    const std::string text = "FCPXML file not found: " + withControlsShown(path);
    return ParseError(Case::fileNotFound, std::move(path), 0, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::notReadable(std::string path) {
    const std::string text = "FCPXML file could not be read: " + withControlsShown(path);
    return ParseError(Case::notReadable, std::move(path), 0, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::tooLarge(std::string path, int64_t byteCount) {
    const std::string text =
        "FCPXML file is too large to validate (" + std::to_string(byteCount / 1'048'576) +
        " MB): " + withControlsShown(path) +
        ". A real FCPXML export is a few MB at most \u2014 this file may be corrupt or crafted.";
    return ParseError(Case::tooLarge, std::move(path), byteCount, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::xmlError(std::string message) {
    const std::string text = "FCPXML could not be parsed: " + message;
    return ParseError(Case::xmlError, std::move(message), 0, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::link(Case found, std::string path) {
    std::string text = "FCPXML bundle refused: " + withControlsShown(path);
    switch (found) {
    case Case::linkLoop:
        text += " is a link that leads round in a loop and never reaches a file.";
        break;
    case Case::linkChainTooLong:
        text += " is a link that leads through more than 40 links, more than the system "
                "follows to reach a file.";
        break;
    case Case::linkToFolder:
        text += " is a link to a folder of the bundle, not to a document file.";
        break;
    default:
        found = Case::linkOutsideBundle;
        text += " is a link that leads outside the bundle, and only files inside a bundle are "
                "read.";
        break;
    }
    return ParseError(found, std::move(path), 0, text);
}

FCPXMLParser::ParseError FCPXMLParser::ParseError::tooComplex(std::string name, uint64_t line) {
    const std::string text =
        "FCPXML is too complex to validate: " + withControlsShown(name) + " would need more than " +
        std::to_string(memoryPerFileByte) + " bytes of memory for each of its bytes (line " +
        std::to_string(line) +
        "). A real FCPXML export needs far less \u2014 this file may be corrupt or crafted.";
    return ParseError(Case::tooComplex, std::move(name), 0, text);
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

// About what the document model spends on a text beyond the string object itself: the heap
// block of one too long to live inside it.
size_t heapBytes(const std::string &text) {
    return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}
size_t heapBytes(const std::optional<std::string> &text) {
    return text ? heapBytes(*text) : 0;
}
size_t heapBytes(const Rational &) {
    return 0;
}
// What a map or set entry costs besides its key and value: node, hash and bucket.
constexpr size_t entryOverhead = 48;

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
// finished sequences. What it keeps counts against the parse's memory budget, so that
// markup made of many tiny elements cannot multiply memory.
class DocumentReader : public XMLStreamParser::Delegate {
public:
    explicit DocumentReader(XMLStreamParser::MemoryBudget &budget) : budget_(budget) {}

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
            push(mediaIDStack_, id.value_or(""));
            push(mediaNameStack_, mediaName ? *mediaName : id ? *id : "Compound");
        } else if (name == "ref-clip") {
            if (const auto ref = attributes.find("ref"); ref && parent == "event") {
                if (const auto entry = eventTimelineMediaRefs_.emplace(*ref); entry.second) {
                    budget_.hold(entryOverhead + sizeof(std::string) + heapBytes(*entry.first));
                }
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
            append(builder_->clips, makeSpineClip(name, attributes));
        }
        push(elementStack_, name);
    }

    void characters(std::string_view) override {}

    void endElement(std::string_view name) override {
        pop(elementStack_);
        if (name == "sequence") {
            finalizeSequence();
        } else if (name == "media") {
            pop(mediaIDStack_);
            pop(mediaNameStack_);
        }
    }

    // The document, its references resolved; nothing when resolving them would leave the
    // budget.
    std::optional<FCPXMLParser::Document> finish() {
        finalizeSequence();
        // Resolved over the whole document, never from what was read before: exports list
        // their resources (where the sequences of compound clips stand) before the events
        // whose ref-clips name them, and write a compound clip's media before the format and
        // the assets its sequence uses.
        for (size_t i = 0; i < sequences_.size(); ++i) {
            Sequence &sequence = sequences_[i];
            const auto &mediaID = sequenceMediaIDs_[i];
            sequence.isEventTimeline = mediaID && eventTimelineMediaRefs_.contains(*mediaID);
            if (sequence.formatID) {
                if (const auto format = formatFrameDurations_.find(*sequence.formatID);
                    format != formatFrameDurations_.end()) {
                    sequence.frameDuration = format->second;
                }
            }
            for (SpineClip &clip : sequence.clips) {
                resolveResource(clip);
                if (budget_.exceeded()) {
                    return std::nullopt;
                }
            }
        }
        return FCPXMLParser::Document{std::move(version_), std::move(sequences_)};
    }

private:
    // An entry of a resource map, counted when it is new (a repeated id replaces the value).
    template <typename Map, typename Value> void enter(Map &map, std::string id, Value value) {
        const auto [entry, inserted] = map.insert_or_assign(std::move(id), std::move(value));
        if (inserted) {
            budget_.hold(entryOverhead + sizeof(*entry) + heapBytes(entry->first) +
                         heapBytes(entry->second));
        }
    }

    void push(std::vector<std::string> &stack, std::string_view name) {
        stack.emplace_back(name);
        budget_.hold(sizeof(std::string) + heapBytes(stack.back()));
    }

    void pop(std::vector<std::string> &stack) {
        if (!stack.empty()) {
            budget_.release(sizeof(std::string) + heapBytes(stack.back()));
            stack.pop_back();
        }
    }

    // Appends to a list of the model, counting its growth: each new block and the texts of the
    // value.
    template <typename T> void append(std::vector<T> &list, T value, size_t texts) {
        const size_t before = list.capacity();
        list.push_back(std::move(value));
        budget_.hold((list.capacity() - before) * sizeof(T) + texts);
    }

    void append(std::vector<SpineClip> &clips, SpineClip clip) {
        const size_t texts = heapBytes(clip.elementType) + heapBytes(clip.name) +
                             heapBytes(clip.ref) + heapBytes(clip.assetUID) +
                             heapBytes(clip.resourceName);
        append(clips, std::move(clip), texts);
    }

    void registerResource(std::string_view element, std::string id, const Attributes &attributes) {
        if (element == "asset") {
            if (const auto name = attributes.find("name")) {
                enter(assetNames_, id, std::string(*name));
            }
            enter(assetUIDs_, std::move(id), text(attributes.find("uid")));
        } else if (element == "media") {
            if (const auto name = attributes.find("name")) {
                enter(mediaNames_, std::move(id), std::string(*name));
            }
        } else if (element == "format") {
            if (const auto duration = parseRational(attributes.find("frameDuration"))) {
                enter(formatFrameDurations_, std::move(id), *duration);
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
        clip.ref = text(attributes.find("ref"));
        clip.offset = parseRational(attributes.find("offset")).value_or(Rational{0, 1});
        clip.start = parseRational(attributes.find("start"));
        clip.duration = parseRational(attributes.find("duration")).value_or(Rational{0, 1});
        return clip;
    }

    // The asset uid and the name of the asset or media the item refers to, counted.
    void resolveResource(SpineClip &clip) {
        if (!clip.ref) {
            return;
        }
        if (const auto asset = assetUIDs_.find(*clip.ref); asset != assetUIDs_.end()) {
            clip.assetUID = asset->second;
            if (const auto name = assetNames_.find(*clip.ref); name != assetNames_.end()) {
                clip.resourceName = name->second;
            }
        } else if (const auto media = mediaNames_.find(*clip.ref); media != mediaNames_.end()) {
            clip.resourceName = media->second;
        }
        budget_.hold(heapBytes(clip.assetUID) + heapBytes(clip.resourceName));
    }

    void finalizeSequence() {
        if (!builder_) {
            return;
        }
        Sequence sequence;
        sequence.name = std::move(builder_->name);
        sequence.kind = builder_->kind;
        sequence.formatID = std::move(builder_->formatID);
        sequence.tcStartSeconds = builder_->tcStartSeconds;
        sequence.clips = std::move(builder_->clips);
        const size_t texts = heapBytes(sequence.name) + heapBytes(sequence.formatID);
        append(sequences_, std::move(sequence), texts);
        const size_t mediaID = heapBytes(builder_->mediaID);
        append(sequenceMediaIDs_, std::move(builder_->mediaID), mediaID);
        builder_.reset();
    }

    XMLStreamParser::MemoryBudget &budget_;

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

// Whether `path` lies below `folder`; both canonical.
bool isInside(const fs::path &path, const fs::path &folder) {
    const auto [inFolder, inPath] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return inFolder == folder.end() && inPath != path.end();
}

// Where the link at `link` leads in the end, as a canonical path, whether or not anything is
// there; or why that cannot be told.
struct LinkWalk {
    enum class End { reached, loop, tooLong, unreadable };
    End end = End::unreadable;
    fs::path target;
};

LinkWalk followLink(fs::path link) {
    // As many links as the system follows in one path.
    constexpr int maxLinks = 40;
    std::error_code error;
    const auto failed = [&] {
        return LinkWalk{error == std::errc::too_many_symbolic_link_levels
                            ? LinkWalk::End::loop
                            : LinkWalk::End::unreadable,
                        {}};
    };
    // The links met, as reached: the folder above each is canonical, so a loop comes back to
    // one of them spelt the same.
    std::set<fs::path> met;
    for (int hop = 0; hop <= maxLinks; ++hop) {
        if (!fs::is_symlink(fs::symlink_status(link, error))) {
            fs::path target = fs::weakly_canonical(link, error);
            return error ? failed() : LinkWalk{LinkWalk::End::reached, std::move(target)};
        }
        if (!met.insert(link).second) {
            return {LinkWalk::End::loop, {}};
        }
        if (hop == maxLinks) {
            break;
        }
        const fs::path next = fs::read_symlink(link, error);
        if (error) {
            return failed();
        }
        // The folders above the link may be links themselves: they count where they lead.
        fs::path folder = fs::weakly_canonical(link.parent_path(), error);
        if (error) {
            return failed();
        }
        link = next.is_absolute() ? next : folder / next;
    }
    return {LinkWalk::End::tooLong, {}};
}

// The file to read: the given path, or the "Info.fcpxml" of a bundle or folder that holds
// one. A folder without it stays as it is and fails to read.
struct ResolvedFile {
    // As messages name it.
    fs::path file;
    // Where its bytes are read from: for a bundle's document, the file it resolves to, with
    // no link left to follow.
    fs::path readFrom;
    LinkAtPath linkAtPath = LinkAtPath::follow;
};

ResolvedFile resolveFCPXMLFile(const fs::path &path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        throw FCPXMLParser::ParseError::fileNotFound(path.string());
    }
    const std::string extension = asciiLowercased(path.extension().string());
    if (extension == ".fcpxmld" || status.type() == fs::file_type::directory) {
        const fs::path document = path / "Info.fcpxml";
        if (fs::is_symlink(fs::symlink_status(document, error))) {
            // A bundle from elsewhere could otherwise show any file of this machine (and its
            // first line in an error) as its document.
            const fs::path bundle = fs::canonical(path, error);
            if (error) {
                throw FCPXMLParser::ParseError::notReadable(document.string());
            }
            using ParseError = FCPXMLParser::ParseError;
            const LinkWalk walk = followLink(document);
            switch (walk.end) {
            case LinkWalk::End::loop:
                throw ParseError::link(ParseError::Case::linkLoop, document.string());
            case LinkWalk::End::tooLong:
                throw ParseError::link(ParseError::Case::linkChainTooLong, document.string());
            case LinkWalk::End::unreadable:
                throw ParseError::notReadable(document.string());
            case LinkWalk::End::reached:
                break;
            }
            const bool inside = isInside(walk.target, bundle);
            if ((inside || walk.target == bundle) && fs::is_directory(walk.target, error)) {
                throw ParseError::link(ParseError::Case::linkToFolder, document.string());
            }
            if (!inside) {
                throw ParseError::link(ParseError::Case::linkOutsideBundle, document.string());
            }
            if (fs::exists(walk.target, error)) {
                return {document, walk.target, LinkAtPath::refuse};
            }
        } else if (fs::exists(document, error)) {
            return {document, document, LinkAtPath::refuse};
        }
    }
    return {path, path, LinkAtPath::follow};
}

// The bytes of the file: those the guard has looked at, then the rest as the parse goes.
class FileSource : public XMLStreamParser::Source {
public:
    FileSource(std::span<const uint8_t> beginning, RegularFileStream &file)
        : beginning_(beginning), file_(file) {}

    size_t read(std::span<uint8_t> buffer) override {
        if (!beginning_.empty()) {
            const size_t length = std::min(buffer.size(), beginning_.size());
            std::copy_n(beginning_.begin(), length, buffer.begin());
            beginning_ = beginning_.subspan(length);
            return length;
        }
        return file_.read({reinterpret_cast<char *>(buffer.data()), buffer.size()});
    }

private:
    std::span<const uint8_t> beginning_;
    RegularFileStream &file_;
};

// One pass of the parser into a document: `parse(reader, failure, budget)` runs it over the
// bytes, `checkInput()` throws when they could not all be read.
template <typename Parse, typename CheckInput>
FCPXMLParser::Document readDocument(const std::string &name, Parse parse, CheckInput checkInput) {
    XMLStreamParser::MemoryBudget budget(FCPXMLParser::memoryPerFileByte,
                                         FCPXMLParser::memoryAllowance);
    DocumentReader reader(budget);
    XMLStreamParser::Failure failure;
    const XMLStreamParser::Outcome outcome = parse(reader, &failure, &budget);
    // A file that failed to read, or grew past the limit, ended the parse early.
    checkInput();
    switch (outcome) {
    case XMLStreamParser::Outcome::finished:
        if (auto document = reader.finish()) {
            return std::move(*document);
        }
        throw FCPXMLParser::ParseError::tooComplex(name, failure.line);
    case XMLStreamParser::Outcome::refused:
        // A declaration the guard's look at the beginning could not see (later in the
        // document, in UTF-16, past the examined bytes), or one that declares no entity, is
        // refused all the same, for what it is.
        throw XMLSecurityError(failure.refusal, name);
    case XMLStreamParser::Outcome::exhausted:
        throw FCPXMLParser::ParseError::tooComplex(name, failure.line);
    case XMLStreamParser::Outcome::malformed:
        break;
    }
    const std::string line = std::to_string(failure.line);
    throw FCPXMLParser::ParseError::xmlError(failure.description.empty()
                                                 ? "unknown XML error at line " + line
                                                 : failure.description + " (line " + line + ")");
}

} // namespace

FCPXMLParser::Document FCPXMLParser::parse(const fs::path &contentsOf) {
    const ResolvedFile resolved = resolveFCPXMLFile(contentsOf);
    RegularFileStream file(resolved.readFrom, maximumFileSize, resolved.linkAtPath);
    const auto checkInput = [&] {
        switch (file.status()) {
        case RegularFileRead::Status::read:
            return;
        case RegularFileRead::Status::notReadable:
            throw ParseError::notReadable(resolved.file.string());
        case RegularFileRead::Status::tooLarge:
            throw ParseError::tooLarge(resolved.file.string(), file.failure().byteCount);
        }
    };
    checkInput();
    // The guard looks at the beginning before anything is parsed.
    std::vector<uint8_t> beginning(XMLSecurity::examinedLength);
    size_t length = 0;
    while (length < beginning.size()) {
        const size_t count = file.read(
            {reinterpret_cast<char *>(beginning.data()) + length, beginning.size() - length});
        if (count == 0) {
            break;
        }
        length += count;
    }
    checkInput();
    beginning.resize(length);
    const std::string name = resolved.file.filename().string();
    XMLSecurity::rejectXMLEntityDeclarations(beginning, name);
    FileSource source(beginning, file);
    return readDocument(
        name,
        [&](auto &reader, auto *failure, auto *budget) {
            return XMLStreamParser::parse(source, reader, failure, budget);
        },
        checkInput);
}

FCPXMLParser::Document FCPXMLParser::parse(std::span<const unsigned char> data,
                                           const std::string &name) {
    XMLSecurity::rejectXMLEntityDeclarations(data, name);
    return readDocument(
        name,
        [&](auto &reader, auto *failure, auto *budget) {
            return XMLStreamParser::parse(data, reader, failure, budget);
        },
        [] {});
}

} // namespace tandrel
