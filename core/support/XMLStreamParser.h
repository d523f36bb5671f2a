#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tandrel {

// The one XML parser of the system: a streaming (event-driven) reader over expat, hardened
// for documents from outside. It refuses, by stopping the parse, any entity declaration
// (internal, external, parameter or unparsed) and any document type declaration that names an
// external DTD, and it never loads anything from outside the bytes it is given. Element and
// attribute names are reported exactly as written (no namespace processing). Pure; one parse
// per call, so it may be used from any thread.
class XMLStreamParser {
public:
    // The attributes of one start tag, valid for the duration of the event.
    class Attributes {
    public:
        explicit Attributes(const char **pairs) : pairs_(pairs) {}
        bool empty() const { return !pairs_ || !pairs_[0]; }
        std::optional<std::string_view> find(std::string_view name) const;

    private:
        const char **pairs_;
    };

    // Receives the events of one parse. Text inside an element may arrive in several pieces.
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void startElement(std::string_view name, const Attributes &attributes) = 0;
        virtual void characters(std::string_view text) = 0;
        virtual void endElement(std::string_view name) = 0;
    };

    enum class Outcome {
        // The document was read to its end.
        finished,
        // The document is not well-formed XML; the delegate saw the events before the error.
        malformed,
        // The document declares entities or names an external DTD; the delegate saw the events
        // before the declaration.
        refused,
    };

    // Why and where a malformed document failed: the XML parser's own description of the
    // error (empty when it gave none) and the line it had reached, counted from 1.
    struct Failure {
        std::string description;
        uint64_t line = 0;
    };

    // The encoding comes from the document (byte-order mark, XML declaration), UTF-8 when it
    // names none. A malformed document fills `failure` when one is given.
    static Outcome parse(std::span<const uint8_t> bytes, Delegate &delegate,
                         Failure *failure = nullptr);
};

} // namespace tandrel
