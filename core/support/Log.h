#pragma once

#include <spdlog/spdlog.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tandrel {

// The logger of one area of one subsystem, named "<subsystem>.<category>" (for example
// "com.ostrevale.tandrel.plugin.snapshot"), writing to stderr. Loggers are created once and
// shared; the level comes from TANDREL_LOG_LEVEL (trace, debug, info, warn, error, off) and
// is "warn" when that is unset. Every line reaches stderr as shownLogLine shows it.
std::shared_ptr<spdlog::logger> logger(std::string_view subsystem, std::string_view category);

// A line of the log as it is written: elided in the middle to maxLogLineCharacters characters
// of at most 31 code points, looking at no more than its ends (elidedLine), and the controls
// it holds raw shown (withStrayControlsShown), so that a name or a path from outside can
// neither break it, forge another line, nor command the terminal. Names shown already keep
// their escapes as they are.
inline constexpr std::size_t maxLogLineCharacters = 2000;
std::string shownLogLine(std::string_view line);

} // namespace tandrel
