#include "core/support/Log.h"

#include <spdlog/sinks/stdout_color_sinks.h>

#include <cstdlib>
#include <mutex>
#include <string>

namespace tandrel {

namespace {

spdlog::level::level_enum configuredLevel() {
    const char *text = std::getenv("TANDREL_LOG_LEVEL");
    if (text == nullptr || *text == '\0') {
        return spdlog::level::warn;
    }
    return spdlog::level::from_str(text);
}

} // namespace

std::shared_ptr<spdlog::logger> logger(std::string_view subsystem, std::string_view category) {
    static std::mutex mutex;
    static const auto sink = std::make_shared<spdlog::sinks::stderr_color_sink_mt>();
    static const spdlog::level::level_enum level = configuredLevel();

    std::string name{subsystem};
    name += '.';
    name += category;

    std::lock_guard lock(mutex);
    if (auto existing = spdlog::get(name)) {
        return existing;
    }
    auto created = std::make_shared<spdlog::logger>(name, sink);
    created->set_level(level);
    spdlog::register_logger(created);
    return created;
}

} // namespace tandrel
