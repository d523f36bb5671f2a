#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace re2 {
class RE2;
}

namespace timecode {

// Regular-expression matching shared by every text parser of the library, on RE2: matching
// takes time linear in the length of the text, whatever the pattern and the text, which is
// what untrusted text needs. Patterns use RE2's syntax (that of Perl without backreferences
// and look-around; "\s" is [\t\n\f\r ]), and text is UTF-8. All operations search the whole
// input; a pattern that does not compile gives the empty (or absent) result and never an
// error.

struct RegexOptions {
    bool caseInsensitive = false;
    // The pattern is plain text: no character in it is special.
    bool ignoreMetacharacters = false;
    // "." matches a line feed too.
    bool dotMatchesLineSeparators = false;
    // "^" and "$" match at the start and end of every line, not only of the text.
    bool anchorsMatchLines = false;
};

struct RegexMatchOptions {
    // Each match must start where the search starts: at the start of the text, then right
    // after the previous match.
    bool anchored = false;
};

// A compiled pattern; copies share it, and it may be used from any thread.
class Regex {
public:
    // The compiled pattern, or nothing when it does not compile.
    static std::optional<Regex> compile(std::string_view pattern, RegexOptions options = {});

    const re2::RE2 &re2() const { return *compiled_; }

private:
    explicit Regex(std::shared_ptr<const re2::RE2> compiled) : compiled_(std::move(compiled)) {}

    std::shared_ptr<const re2::RE2> compiled_;
};

inline std::optional<Regex> compileRegex(std::string_view pattern, RegexOptions options = {}) {
    return Regex::compile(pattern, options);
}

// For every match in order, the text of each of its ranges: the whole match first, then each
// capture group, absent for a group that took no part in the match. After a match that is
// empty the search goes on one character further.
std::vector<std::optional<std::string>>
regexMatchesCaptureGroups(std::string_view text, const Regex &regex,
                          RegexMatchOptions matchOptions = {});
std::vector<std::optional<std::string>>
regexMatchesCaptureGroups(std::string_view text, std::string_view pattern,
                          RegexOptions options = {}, RegexMatchOptions matchOptions = {});

// The whole text of every match, in order.
std::vector<std::string> regexMatches(std::string_view text, std::string_view pattern,
                                      RegexOptions options = {},
                                      RegexMatchOptions matchOptions = {});

// The input with every match replaced by the template: "$" and a group number stand for that
// group's text ("$0" the whole match; digits are taken while they name a group), "\" takes
// the next character as it is; everything else is copied.
std::optional<std::string> regexMatchesReplacing(std::string_view text, std::string_view pattern,
                                                 std::string_view replacementTemplate,
                                                 RegexOptions options = {},
                                                 RegexMatchOptions matchOptions = {});

} // namespace timecode
