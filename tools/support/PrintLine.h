#pragma once

#include "core/support/Log.h"

#include <cstdio>
#include <string>

namespace tandrel {

// A line of a tool's output, flushed at once for whoever reads it through a pipe. It may hold
// names from libraries, the editor panel or a server: it reaches the terminal as one bounded
// line with the controls it holds raw shown, as a log line does (shownLogLine).
inline void printLine(const std::string &text) {
    std::fputs((shownLogLine(text) + "\n").c_str(), stdout);
    std::fflush(stdout);
}

} // namespace tandrel
