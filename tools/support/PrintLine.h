#pragma once

#include <cstdio>
#include <string>

namespace tandrel {

// A line of a tool's output, flushed at once for whoever reads it through a pipe.
inline void printLine(const std::string &text) {
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

} // namespace tandrel
