#pragma once

#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace timecode {

// Regular-expression matching shared by every text parser of the library. All operations
// search the whole input; a pattern that does not compile gives the empty (or absent) result
// and never an error. Patterns always run on the executor whose cost grows linearly with the
// input: the backtracking one recurses once per character and overflows the stack on long texts.

using RegexOptions = std::regex_constants::syntax_option_type;
using RegexMatchOptions = std::regex_constants::match_flag_type;

// The compiled pattern, or nothing when it does not compile.
std::optional<std::regex> compileRegex(std::string_view pattern,
                                       RegexOptions options = std::regex_constants::ECMAScript);

// For every match in order, the text of each of its ranges: the whole match first, then each
// capture group, absent for a group that took no part in the match.
std::vector<std::optional<std::string>>
regexMatchesCaptureGroups(std::string_view text, const std::regex &regex,
                          RegexMatchOptions matchOptions = std::regex_constants::match_default);
std::vector<std::optional<std::string>>
regexMatchesCaptureGroups(std::string_view text, std::string_view pattern,
                          RegexOptions options = std::regex_constants::ECMAScript,
                          RegexMatchOptions matchOptions = std::regex_constants::match_default);

// The whole text of every match, in order.
std::vector<std::string>
regexMatches(std::string_view text, std::string_view pattern,
             RegexOptions options = std::regex_constants::ECMAScript,
             RegexMatchOptions matchOptions = std::regex_constants::match_default);

// The input with every match replaced by the template ("$1" stands for the first group).
std::optional<std::string>
regexMatchesReplacing(std::string_view text, std::string_view pattern,
                      std::string_view replacementTemplate,
                      RegexOptions options = std::regex_constants::ECMAScript,
                      RegexMatchOptions matchOptions = std::regex_constants::match_default,
                      RegexMatchOptions replacingOptions = std::regex_constants::format_default);

} // namespace timecode
