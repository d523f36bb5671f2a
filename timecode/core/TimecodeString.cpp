// The text form of a timecode and its parser.
#include "timecode/core/Timecode.h"

#include "timecode/core/ZeroPadded.h"

#include <algorithm>
#include <array>
#include <optional>

namespace timecode {

std::string Timecode::stringValue(StringFormat format) const {
    const Components &c = components_;
    // Short enough for the string's own buffer: no allocation for the usual forms.
    std::string text;
    if (format.alwaysShowDays() || c.days != 0) {
        appendZeroPadded(text, c.days, 1);
        text.push_back(' ');
    }
    appendZeroPadded(text, c.hours, 2);
    text.push_back(':');
    appendZeroPadded(text, c.minutes, 2);
    text.push_back(':');
    appendZeroPadded(text, c.seconds, 2);
    text.push_back(frameRate().isDrop() ? ';' : ':');
    appendZeroPadded(text, c.frames, frameRate().numberOfDigits());
    if (format.showSubFrames()) {
        text.push_back('.');
        appendZeroPadded(text, c.subFrames, subFramesBase().numberOfDigits());
    }
    if (format.filenameCompatible()) {
        std::replace_if(
            text.begin(), text.end(), [](char ch) { return ch == ':' || ch == ';' || ch == ' '; },
            '-');
    }
    return text;
}

std::string Timecode::description() const {
    return stringValue(StringFormat::withSubFrames());
}

std::string Timecode::debugDescription() const {
    StringFormat format = StringFormat::withSubFrames();
    format.setAlwaysShowDays(upperLimit() == UpperLimit::max100Days);
    return "Timecode<" + stringValue(format) + " @ " +
           std::string(frameRate().stringValueVerbose()) + ">";
}

std::string Timecode::verboseDescription() const {
    return description() + " @ " + std::string(frameRate().stringValueVerbose());
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isFieldSeparator(char c) {
    return c == ':' || c == ';';
}

// After the days: a field separator or white space (space, tab, line feed, vertical tab, form
// feed, carriage return).
bool isDaysSeparator(char c) {
    return isFieldSeparator(c) || c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\r';
}

// The digit run at the front of the text, taken off it.
std::string_view takeDigits(std::string_view &text) {
    size_t length = 0;
    while (length < text.size() && isDigit(text[length])) {
        ++length;
    }
    const std::string_view digits = text.substr(0, length);
    text.remove_prefix(length);
    return digits;
}

// Hours, minutes, seconds, frames and sub-frames (empty when absent).
using Fields = std::array<std::string_view, 5>;

// The whole text as four digit runs split by field separators, then nothing, "." or "." and
// the sub-frames.
std::optional<Fields> matchFields(std::string_view text) {
    Fields fields{};
    for (size_t field = 0; field < 4; ++field) {
        if (field > 0) {
            if (text.empty() || !isFieldSeparator(text.front())) {
                return std::nullopt;
            }
            text.remove_prefix(1);
        }
        fields[field] = takeDigits(text);
        if (fields[field].empty()) {
            return std::nullopt;
        }
    }
    if (!text.empty()) {
        if (text.front() != '.') {
            return std::nullopt;
        }
        text.remove_prefix(1);
        fields[4] = takeDigits(text);
        if (!text.empty()) {
            return std::nullopt;
        }
    }
    return fields;
}

int64_t number(std::string_view digits) {
    // A group that does not fit 64 bits makes the text malformed rather than quietly absent.
    const auto value = parseDigits(digits);
    if (!value) {
        throw TimecodeStringParseError();
    }
    return *value;
}

} // namespace

// The accepted text is exactly what the pattern
//     ^(\d+)??[\:;\s]??(\d+)[\:;](\d+)[\:;](\d+)[\:\;](\d+)[\.]??(\d+)??$
// matches ("\s" with the vertical tab: [\:;\s\v] in RE2's syntax, whose "\s" lacks it), with
// the groups a backtracking matcher picks: the four fields, optionally preceded
// by one days separator alone or by the days and one days separator. Where the text can be
// read both ways ("101:00:00:00"), the reading without days wins; the days, when present, are
// the whole leading digit run. Scanning by hand keeps parsing linear and allocation-free; the
// fuzz target holds it against the pattern.
Timecode::Components Timecode::decode(std::string_view timecode) {
    std::string_view days;
    std::optional<Fields> fields;
    if (!timecode.empty() && isDigit(timecode.front())) {
        fields = matchFields(timecode);
        if (!fields) {
            std::string_view rest = timecode;
            days = takeDigits(rest);
            if (!rest.empty() && isDaysSeparator(rest.front())) {
                fields = matchFields(rest.substr(1));
            }
        }
    } else if (!timecode.empty() && isDaysSeparator(timecode.front())) {
        fields = matchFields(timecode.substr(1));
    }
    if (!fields) {
        throw StringParseError();
    }
    Components components;
    components.days = days.empty() ? 0 : number(days);
    components.hours = number((*fields)[0]);
    components.minutes = number((*fields)[1]);
    components.seconds = number((*fields)[2]);
    components.frames = number((*fields)[3]);
    components.subFrames = (*fields)[4].empty() ? 0 : number((*fields)[4]);
    return components;
}

} // namespace timecode
