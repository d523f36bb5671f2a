#pragma once

#include "platform/proext/ProExtension.h"
#include "timecode/core/MediaTime.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// A script for tandrel-editor-sim: one command a line, words separated by spaces, a word in
// double quotes kept whole (spaces and all); empty lines and lines starting with "#" are
// skipped.
//   sequence NAME FRAMEDURATION FORMAT   opens a sequence: sequence "R 1" 1/25 0
//                                        (FORMAT 1 counts drop frame)
//   no-sequence                          closes it
//   playhead VALUE/TIMESCALE             moves the playhead
//   time-range                           the sequence got longer or shorter
//   from-thread on|off                   whether the editor calls from a thread of its own
//   drop FILE                            drags the file's text onto the drop zone
//   pick N                               chooses the pop-up's Nth item, 1 for the first
//   expect sequence|timecode|drop-status TEXT
//                                        the panel shows TEXT there (the rest of the line;
//                                        TEXT ending in "*": shows a text that begins so)
//   wait MS                              lets MS milliseconds pass
struct SimCommand {
    enum class Kind { sequence, noSequence, playhead, timeRange, fromThread, drop, pick, expect, wait };

    Kind kind;
    // Where it stands in the script, from 1, and as it was written.
    int line = 0;
    std::string text;

    // sequence: its name, frame duration and format; playhead: the time.
    std::string name;
    timecode::MediaTime time;
    platform::FCPXSequenceTimecodeFormat format = platform::FCPXSequenceTimecodeFormat::nonDropFrame;
    // from-thread.
    bool on = false;
    // drop: the file; expect: what is looked at ("sequence", "timecode", "drop-status") and
    // the text expected.
    std::string file;
    std::string field;
    std::string expected;
    // pick: the item, from 1; wait: milliseconds.
    long number = 0;
};

struct SimScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct SimScript {
    // Throws SimScriptError naming the first line that is not a command.
    static std::vector<SimCommand> parse(std::string_view script);
    // The words of one line; throws SimScriptError on a quote left open.
    static std::vector<std::string> words(std::string_view line);
};

} // namespace tandrel
