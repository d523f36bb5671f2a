#pragma once

#include "core/model/RawEnum.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel {

// Reads an FCPXML export (a ".fcpxml" file or a ".fcpxmld" bundle) into the little the
// timeline validator compares: each sequence's format, start and primary storyline. The file
// comes from the user, so reading is bounded in size and never resolves entities.
class FCPXMLParser {
public:
    // A time or duration as written; never reduced, so 1/2 and 2/4 differ.
    struct Rational {
        int64_t numerator = 0;
        int64_t denominator = 1;

        double seconds() const;
        bool operator==(const Rational &) const = default;
    };

    struct SequenceKindCases {
        enum Case : unsigned char { project, media, other };
        static constexpr std::array<std::string_view, 3> rawValues{"project", "media", "other"};
    };
    // Where a sequence was found; its raw value is the report's text form.
    class SequenceKind : public RawEnum<SequenceKind, SequenceKindCases> {
    public:
        using RawEnum::RawEnum;
    };

    // One direct child element of a sequence's primary storyline.
    struct SpineClip {
        std::string elementType;
        std::string name;
        std::optional<std::string> ref;
        std::optional<std::string> assetUID;
        std::optional<std::string> resourceName;
        Rational offset{0, 1};
        std::optional<Rational> start;
        Rational duration{0, 1};

        bool isGap() const { return elementType == "gap"; }
        bool isTransition() const { return elementType == "transition"; }
    };

    struct Sequence {
        std::string name;
        SequenceKind kind = SequenceKind::other;
        std::optional<std::string> formatID;
        std::optional<Rational> frameDuration;
        double tcStartSeconds = 0;
        std::vector<SpineClip> clips;
        bool isEventTimeline = false;

        // 24 when no frame duration is known.
        double fps() const;
    };

    struct Document {
        std::optional<std::string> version;
        std::vector<Sequence> sequences;

        const Sequence *sequence(const std::string &named) const;
        const Sequence *primaryTimeline() const;
    };

    // The reader's own failures; what() is the user-visible description, which shows the
    // paths and names it quotes with their control characters shown (withControlsShown).
    class ParseError : public std::runtime_error {
    public:
        enum class Case {
            fileNotFound,
            notReadable,
            tooLarge,
            xmlError,
            // A bundle whose document is a symbolic link that leads out of the bundle, round in
            // a loop, through more links than the system follows, or to a folder.
            linkOutsideBundle,
            linkLoop,
            linkChainTooLong,
            linkToFolder,
            // A document whose markup would need more memory than its size warrants.
            tooComplex,
        };

        static ParseError fileNotFound(std::string path);
        static ParseError notReadable(std::string path);
        static ParseError tooLarge(std::string path, int64_t byteCount);
        static ParseError xmlError(std::string message);
        // One of the four link cases (any other case counts as linkOutsideBundle); `path` is
        // the link's own path inside the bundle.
        static ParseError link(Case found, std::string path);
        // `name` as parse(data, name) got it; `line` where the reading stopped.
        static ParseError tooComplex(std::string name, uint64_t line);

        Case errorCase() const { return case_; }
        // The path (for xmlError the message, for tooComplex the name) the error carries.
        const std::string &payload() const { return payload_; }
        int64_t byteCount() const { return byteCount_; }

    private:
        ParseError(Case c, std::string payload, int64_t byteCount, const std::string &text)
            : std::runtime_error(text), case_(c), payload_(std::move(payload)),
              byteCount_(byteCount) {}

        Case case_;
        std::string payload_;
        int64_t byteCount_ = 0;
    };

    // The largest file the reader takes (200 MiB); a real export is a few MB at most.
    static constexpr int64_t maximumFileSize = 209'715'200;
    // What a parse may hold in memory, the XML parser's and the document's together: this
    // many bytes for each byte of the file, plus the allowance. An export needs well under
    // one byte per byte; markup made only to multiply memory (millions of empty items,
    // thousands of nesting levels) ends as ParseError::tooComplex.
    static constexpr uint64_t memoryPerFileByte = 8;
    static constexpr uint64_t memoryAllowance = uint64_t{32} << 20;

    // Reads a ".fcpxml" file, or the "Info.fcpxml" of a ".fcpxmld" bundle (or of any folder
    // that holds one). Only a regular file is read, opened once without blocking, never more
    // than `maximumFileSize` bytes of it, and a piece at a time, never held whole. A bundle is
    // read only within itself: an "Info.fcpxml" that links out of it refuses the bundle.
    // Throws ParseError, or XMLSecurityError for a document that declares entities or
    // anything else in its document type.
    static Document parse(const std::filesystem::path &contentsOf);
    // One pass over the bytes; `name` serves only the texts of the XMLSecurityError, which is
    // thrown for any entity declaration, external document type or declaration in the
    // internal subset, wherever it stands, and of ParseError::tooComplex.
    static Document parse(std::span<const unsigned char> data, const std::string &name);
};

} // namespace tandrel
