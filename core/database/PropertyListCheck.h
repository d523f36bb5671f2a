#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tandrel {

// The bounded look at a property list that comes before the parser sees it. The parser that
// reads property lists recurses once per nesting level, expands every shared reference of a
// binary list into a copy of its own and follows reference cycles, so crafted data could
// exhaust the stack or the memory. These checks find, without recursion, what the parser
// would build; data that fails them never reaches it.
struct PropertyListCheck {
    // Deepest nesting of arrays and dictionaries accepted.
    static constexpr int maxDepth = 512;
    // Most values one property list may expand into (every reference counted once per use).
    static constexpr uint64_t maxExpandedValues = uint64_t{1} << 18;

    // A binary property list: header, trailer, offset table, every object reachable from the
    // top object lying inside the object area, references in range, dictionary keys that
    // are strings, no reference cycle, nesting and expanded size within the limits. Gives
    // the first problem found, or nothing when the data may be parsed.
    static std::optional<std::string> binaryProblem(std::span<const uint8_t> data);

    // An XML property list: nesting of array and dict elements within the limit, with
    // comments, processing instructions, character data sections and a document type
    // declaration (without an internal subset) skipped as the parser skips them.
    static std::optional<std::string> xmlProblem(std::span<const uint8_t> data);
};

} // namespace tandrel
