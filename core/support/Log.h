#pragma once

#include <spdlog/spdlog.h>

#include <memory>
#include <string_view>

namespace tandrel {

// The logger of one area of one subsystem, named "<subsystem>.<category>" (for example
// "com.ostrevale.tandrel.plugin.snapshot"), writing to stderr. Loggers are created once and
// shared; the level comes from TANDREL_LOG_LEVEL (trace, debug, info, warn, error, off) and
// is "warn" when that is unset.
std::shared_ptr<spdlog::logger> logger(std::string_view subsystem, std::string_view category);

} // namespace tandrel
