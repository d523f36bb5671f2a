#pragma once

#include "core/support/XMLSecurityError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tandrel {

// The one XML parser of the system: a streaming (event-driven) reader over expat, hardened
// for documents from outside. It refuses, by stopping the parse, any entity declaration
// (internal, external, parameter or unparsed), any document type declaration that names an
// external DTD, and any internal subset that declares anything (elements, attribute lists,
// notations) or refers to parameter entities; a bare "<!DOCTYPE name>" passes. Attributes are
// only ever those written in the tag: no DTD default reaches a delegate. It never loads
// anything from outside the bytes it is given, and the memory it holds is bounded by them
// (see MemoryBudget). Element and attribute names are reported exactly as written (no
// namespace processing). Pure; one parse per call, so it may be used from any thread.
class XMLStreamParser {
public:
    // The attributes written in one start tag, valid for the duration of the event.
    class Attributes {
    public:
        // `pairs` holds name and value, one after the other; only the first `count` pairs are
        // looked at.
        Attributes(const char **pairs, size_t count) : pairs_(pairs), count_(pairs ? count : 0) {}
        bool empty() const { return count_ == 0; }
        std::optional<std::string_view> find(std::string_view name) const;

    private:
        const char **pairs_;
        size_t count_;
    };

    // Receives the events of one parse. Text inside an element may arrive in several pieces.
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void startElement(std::string_view name, const Attributes &attributes) = 0;
        virtual void characters(std::string_view text) = 0;
        virtual void endElement(std::string_view name) = 0;
    };

    // Where the bytes of a document come from, piece by piece.
    class Source {
    public:
        virtual ~Source() = default;
        // Fills the start of `buffer` with the next bytes of the document and says how many;
        // 0 at its end. May throw, which ends the parse with that exception.
        virtual size_t read(std::span<uint8_t> buffer) = 0;
        // How many bytes are left when that is known, so that a short document is not read
        // into a larger buffer than it needs.
        virtual std::optional<size_t> remaining() const { return std::nullopt; }
    };

    // What one parse may hold in memory: `perInputByte` bytes for each byte of the document
    // read so far, plus `allowance`. The XML parser's own allocations count (a request beyond
    // the bound is refused), and so does whatever a delegate says it keeps. A parse that
    // needs more ends as `exhausted`, so the memory of a parse grows with its input and never
    // by more than this multiple of it, whatever the markup.
    class MemoryBudget {
    public:
        MemoryBudget(uint64_t perInputByte, uint64_t allowance)
            : perInputByte_(perInputByte), allowance_(allowance) {}

        // Counts `bytes` as held. False, and exceeded from then on, when they do not fit;
        // the bytes are counted all the same.
        bool hold(size_t bytes);
        // Counts `bytes` as no longer held.
        void release(size_t bytes);
        // Raises the bound by the bytes of input read.
        void addInput(size_t bytes) { input_ += bytes; }
        bool exceeded() const { return exceeded_; }
        uint64_t held() const { return held_; }
        // The most held at any time.
        uint64_t peak() const { return peak_; }
        uint64_t limit() const;

    private:
        uint64_t perInputByte_;
        uint64_t allowance_;
        uint64_t input_ = 0;
        uint64_t held_ = 0;
        uint64_t peak_ = 0;
        bool exceeded_ = false;
    };

    // The budget of a parse that is given none: plenty for any document from an editor.
    static constexpr uint64_t defaultPerInputByte = 8;
    static constexpr uint64_t defaultAllowance = uint64_t{16} << 20;

    enum class Outcome {
        // The document was read to its end.
        finished,
        // The document is not well-formed XML; the delegate saw the events before the error.
        malformed,
        // The document declares or refers to what the parser refuses (see the class); the
        // delegate saw the events before it.
        refused,
        // The parse would have held more memory than its budget; the delegate saw the events
        // before.
        exhausted,
    };

    // Why and where a document failed: for a malformed one, the XML parser's own description
    // of the error (empty when it gave none); for a refused one, what was found; and the line
    // the parser had reached, counted from 1 (for a document read to its end, its last line).
    struct Failure {
        std::string description;
        XMLSecurityError::Case refusal = XMLSecurityError::Case::entityDeclarationsRejected;
        uint64_t line = 0;
    };

    // The encoding comes from the document (byte-order mark, XML declaration), UTF-8 when it
    // names none. A document that fails fills `failure` when one is given; without a
    // `budget`, one of the default size is used.
    static Outcome parse(std::span<const uint8_t> bytes, Delegate &delegate,
                         Failure *failure = nullptr, MemoryBudget *budget = nullptr);
    // The same over bytes read from `source` as the parse goes, a piece at a time: the
    // document is never held whole, only the piece being parsed (and, for a single token
    // longer than a piece, that token).
    static Outcome parse(Source &source, Delegate &delegate, Failure *failure = nullptr,
                         MemoryBudget *budget = nullptr);
};

} // namespace tandrel
