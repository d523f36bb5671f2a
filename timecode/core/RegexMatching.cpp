#include "timecode/core/RegexMatching.h"

#include <re2/re2.h>

namespace timecode {

namespace {

// The ranges of every match in order: the whole match, then each group (a null data pointer
// for a group that took no part in it).
template <typename Visit>
void forEachMatch(std::string_view text, const re2::RE2 &re, RegexMatchOptions options,
                  Visit &&visit) {
    // An empty text without storage would make every group look unmatched.
    static constexpr char empty[] = "";
    const re2::StringPiece subject(text.data() ? text.data() : empty, text.size());
    std::vector<re2::StringPiece> ranges(static_cast<std::size_t>(re.NumberOfCapturingGroups()) +
                                         1);
    const auto anchor = options.anchored ? re2::RE2::ANCHOR_START : re2::RE2::UNANCHORED;
    std::size_t position = 0;
    while (position <= subject.size() && re.Match(subject, position, subject.size(), anchor,
                                                  ranges.data(), static_cast<int>(ranges.size()))) {
        visit(subject, ranges);
        const auto start = static_cast<std::size_t>(ranges[0].data() - subject.data());
        const std::size_t end = start + ranges[0].size();
        if (end > start) {
            position = end;
            continue;
        }
        // After an empty match, on by one character (the bytes of one UTF-8 sequence).
        const auto lead = end < subject.size() ? static_cast<unsigned char>(subject[end]) : 0;
        position = end + (lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1);
        if (options.anchored) {
            break; // nothing follows an empty match at the start of the search
        }
    }
}

std::optional<std::string> text(const re2::StringPiece &range) {
    if (!range.data()) {
        return std::nullopt;
    }
    return std::string(range.data(), range.size());
}

} // namespace

std::optional<Regex> Regex::compile(std::string_view pattern, RegexOptions options) {
    re2::RE2::Options settings;
    settings.set_log_errors(false);
    settings.set_case_sensitive(!options.caseInsensitive);
    settings.set_literal(options.ignoreMetacharacters);
    settings.set_dot_nl(options.dotMatchesLineSeparators);
    std::string source;
    if (options.anchorsMatchLines && !options.ignoreMetacharacters) {
        source = "(?m)";
    }
    source.append(pattern);
    auto compiled = std::make_shared<const re2::RE2>(source, settings);
    if (!compiled->ok()) {
        return std::nullopt;
    }
    return Regex(std::move(compiled));
}

std::vector<std::optional<std::string>> regexMatchesCaptureGroups(std::string_view text,
                                                                  const Regex &regex,
                                                                  RegexMatchOptions matchOptions) {
    std::vector<std::optional<std::string>> result;
    forEachMatch(text, regex.re2(), matchOptions,
                 [&](const re2::StringPiece &, const std::vector<re2::StringPiece> &ranges) {
                     for (const re2::StringPiece &range : ranges) {
                         result.push_back(timecode::text(range));
                     }
                 });
    return result;
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
    forEachMatch(text, regex->re2(), matchOptions,
                 [&](const re2::StringPiece &, const std::vector<re2::StringPiece> &ranges) {
                     matches.emplace_back(ranges[0].data(), ranges[0].size());
                 });
    return matches;
}

std::optional<std::string> regexMatchesReplacing(std::string_view text, std::string_view pattern,
                                                 std::string_view replacementTemplate,
                                                 RegexOptions options,
                                                 RegexMatchOptions matchOptions) {
    const auto regex = compileRegex(pattern, options);
    if (!regex) {
        return std::nullopt;
    }
    std::string result;
    std::size_t copied = 0; // of the text, up to here
    forEachMatch(text, regex->re2(), matchOptions,
                 [&](const re2::StringPiece &subject, const std::vector<re2::StringPiece> &ranges) {
                     const auto start = static_cast<std::size_t>(ranges[0].data() - subject.data());
                     result.append(text.substr(copied, start - copied));
                     copied = start + ranges[0].size();
                     const std::string_view t = replacementTemplate;
                     for (std::size_t i = 0; i < t.size(); ++i) {
                         if (t[i] == '\\' && i + 1 < t.size()) {
                             result.push_back(t[++i]);
                             continue;
                         }
                         // "$" and the longest run of digits that names a group.
                         std::size_t group = 0;
                         std::size_t digits = 0;
                         while (t[i] == '$' && i + 1 + digits < t.size() &&
                                t[i + 1 + digits] >= '0' && t[i + 1 + digits] <= '9') {
                             const std::size_t longer =
                                 group * 10 + static_cast<std::size_t>(t[i + 1 + digits] - '0');
                             if (longer >= ranges.size()) {
                                 break;
                             }
                             group = longer;
                             ++digits;
                         }
                         if (digits == 0) {
                             result.push_back(t[i]);
                             continue;
                         }
                         const re2::StringPiece &range = ranges[group];
                         if (range.data()) {
                             result.append(range.data(), range.size());
                         }
                         i += digits;
                     }
                 });
    result.append(text.substr(copied));
    return result;
}

} // namespace timecode
