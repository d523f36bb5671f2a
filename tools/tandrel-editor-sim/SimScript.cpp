#include "tools/tandrel-editor-sim/SimScript.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>

namespace tandrel {

namespace {

template <typename Integer> std::optional<Integer> integer(std::string_view text) {
    Integer value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// "VALUE/TIMESCALE"; a timescale that is not positive gives an invalid time, as the editor
// may hand one.
std::optional<timecode::MediaTime> time(std::string_view text) {
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto value = integer<int64_t>(text.substr(0, slash));
    const auto timescale = integer<int32_t>(text.substr(slash + 1));
    if (!value || !timescale) {
        return std::nullopt;
    }
    return timecode::MediaTime(*value, *timescale);
}

std::string joined(const std::vector<std::string> &words, size_t from) {
    std::string text;
    for (size_t i = from; i < words.size(); ++i) {
        text += (i > from ? " " : "") + words[i];
    }
    return text;
}

SimCommand command(const std::vector<std::string> &words) {
    const std::string &verb = words[0];
    const size_t count = words.size();
    SimCommand made{};
    const auto fail = [&](const std::string &usage) -> SimCommand {
        throw SimScriptError("expected \"" + usage + "\"");
    };
    if (verb == "sequence") {
        made.kind = SimCommand::Kind::sequence;
        const auto frame = count == 4 ? time(words[2]) : std::nullopt;
        const auto format = count == 4 ? integer<int64_t>(words[3]) : std::nullopt;
        if (!frame || !format) {
            return fail("sequence NAME FRAMEDURATION FORMAT");
        }
        made.name = words[1];
        made.time = *frame;
        made.format = static_cast<platform::FCPXSequenceTimecodeFormat>(*format);
    } else if (verb == "no-sequence" || verb == "time-range") {
        made.kind = verb == "no-sequence" ? SimCommand::Kind::noSequence : SimCommand::Kind::timeRange;
        if (count != 1) {
            return fail(verb);
        }
    } else if (verb == "playhead") {
        made.kind = SimCommand::Kind::playhead;
        const auto playhead = count == 2 ? time(words[1]) : std::nullopt;
        if (!playhead) {
            return fail("playhead VALUE/TIMESCALE");
        }
        made.time = *playhead;
    } else if (verb == "from-thread") {
        made.kind = SimCommand::Kind::fromThread;
        if (count != 2 || (words[1] != "on" && words[1] != "off")) {
            return fail("from-thread on|off");
        }
        made.on = words[1] == "on";
    } else if (verb == "drop") {
        made.kind = SimCommand::Kind::drop;
        if (count != 2) {
            return fail("drop FILE");
        }
        made.file = words[1];
    } else if (verb == "pick" || verb == "wait") {
        made.kind = verb == "pick" ? SimCommand::Kind::pick : SimCommand::Kind::wait;
        const auto number = count == 2 ? integer<long>(words[1]) : std::nullopt;
        if (!number || *number < (verb == "pick" ? 1 : 0) ||
            *number > std::numeric_limits<int>::max()) {
            return fail(verb == "pick" ? "pick N" : "wait MS");
        }
        made.number = *number;
    } else if (verb == "expect") {
        made.kind = SimCommand::Kind::expect;
        if (count < 2 ||
            (words[1] != "sequence" && words[1] != "timecode" && words[1] != "drop-status")) {
            return fail("expect sequence|timecode|drop-status TEXT");
        }
        made.field = words[1];
        made.expected = joined(words, 2);
    } else {
        throw SimScriptError("unknown command \"" + verb + "\"");
    }
    return made;
}

} // namespace

std::vector<std::string> SimScript::words(std::string_view line) {
    std::vector<std::string> found;
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\t') {
            ++at;
            continue;
        }
        std::string word;
        if (line[at] == '"') {
            const size_t close = line.find('"', at + 1);
            if (close == std::string_view::npos) {
                throw SimScriptError("a double quote is not closed");
            }
            word = line.substr(at + 1, close - at - 1);
            at = close + 1;
        } else {
            const size_t end = line.find_first_of(" \t", at);
            word = line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
            at = end == std::string_view::npos ? line.size() : end;
        }
        found.push_back(std::move(word));
    }
    return found;
}

std::vector<SimCommand> SimScript::parse(std::string_view script) {
    std::vector<SimCommand> commands;
    int number = 0;
    while (!script.empty()) {
        const size_t end = script.find('\n');
        std::string_view line = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
        ++number;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        try {
            const std::vector<std::string> found = words(line);
            if (found.empty() || found[0].starts_with('#')) {
                continue;
            }
            SimCommand made = command(found);
            made.line = number;
            made.text = line;
            commands.push_back(std::move(made));
        } catch (const SimScriptError &error) {
            throw SimScriptError("line " + std::to_string(number) + ": " + error.what());
        }
    }
    return commands;
}

} // namespace tandrel
