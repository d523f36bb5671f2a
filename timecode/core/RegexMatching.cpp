// With sanitizers GCC 12 reports a false "maybe uninitialized" inside the standard library's
// regex state machine; the warning is about its code, not ours.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "timecode/core/RegexMatching.h"

#include <iterator>

namespace timecode {

namespace {

using Iterator = std::regex_iterator<std::string_view::const_iterator>;

} // namespace

std::optional<std::regex> compileRegex(std::string_view pattern, RegexOptions options) {
    try {
        // The polynomial executor keeps the recursion bounded by the pattern, not the input.
        return std::regex(pattern.begin(), pattern.end(),
                          options | std::regex_constants::__polynomial);
    } catch (const std::regex_error &) {
        return std::nullopt;
    }
}

std::vector<std::optional<std::string>> regexMatchesCaptureGroups(std::string_view text,
                                                                  const std::regex &regex,
                                                                  RegexMatchOptions matchOptions) {
    std::vector<std::optional<std::string>> ranges;
    try {
        for (Iterator it(text.begin(), text.end(), regex, matchOptions), end; it != end; ++it) {
            for (const auto &group : *it) {
                ranges.push_back(group.matched ? std::optional<std::string>(group.str())
                                               : std::nullopt);
            }
        }
    } catch (const std::regex_error &) {
        return {};
    }
    return ranges;
}

std::vector<std::optional<std::string>> regexMatchesCaptureGroups(std::string_view text,
                                                                  std::string_view pattern,
                                                                  RegexOptions options,
                                                                  RegexMatchOptions matchOptions) {
    const auto regex = compileRegex(pattern, options);
    if (!regex) {
        return {};
    }
    return regexMatchesCaptureGroups(text, *regex, matchOptions);
}

std::vector<std::string> regexMatches(std::string_view text, std::string_view pattern,
                                      RegexOptions options, RegexMatchOptions matchOptions) {
    const auto regex = compileRegex(pattern, options);
    if (!regex) {
        return {};
    }
    std::vector<std::string> matches;
    try {
        for (Iterator it(text.begin(), text.end(), *regex, matchOptions), end; it != end; ++it) {
            matches.push_back(it->str());
        }
    } catch (const std::regex_error &) {
        return {};
    }
    return matches;
}

std::optional<std::string> regexMatchesReplacing(std::string_view text, std::string_view pattern,
                                                 std::string_view replacementTemplate,
                                                 RegexOptions options,
                                                 RegexMatchOptions matchOptions,
                                                 RegexMatchOptions replacingOptions) {
    const auto regex = compileRegex(pattern, options);
    if (!regex) {
        return std::nullopt;
    }
    try {
        std::string result;
        std::regex_replace(std::back_inserter(result), text.begin(), text.end(), *regex,
                           std::string(replacementTemplate), matchOptions | replacingOptions);
        return result;
    } catch (const std::regex_error &) {
        return std::nullopt;
    }
}

} // namespace timecode
