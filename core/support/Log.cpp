#include "core/support/Log.h"

#include "core/support/UnicodeText.h"

#include <spdlog/sinks/base_sink.h>
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

// Passes each line on to stderr as one bounded line whose controls are shown: a name or a
// path from outside, an error text or a server's answer, whoever put it in the line, can
// neither break the line, forge another, move the terminal's cursor nor fill the disk.
class ShownLinesSink final : public spdlog::sinks::sink {
public:
    explicit ShownLinesSink(std::shared_ptr<spdlog::sinks::sink> next) : next_(std::move(next)) {}

    void log(const spdlog::details::log_msg &message) override {
        const std::string_view payload(message.payload.data(), message.payload.size());
        const std::string shown = shownLogLine(payload);
        spdlog::details::log_msg line = message;
        line.payload = spdlog::string_view_t(shown.data(), shown.size());
        next_->log(line);
    }
    void flush() override { next_->flush(); }
    void set_pattern(const std::string &pattern) override { next_->set_pattern(pattern); }
    void set_formatter(std::unique_ptr<spdlog::formatter> formatter) override {
        next_->set_formatter(std::move(formatter));
    }

private:
    std::shared_ptr<spdlog::sinks::sink> next_;
};

} // namespace

std::string shownLogLine(std::string_view line) {
    return withStrayControlsShown(elidedLine(line, maxLogLineCharacters));
}

std::shared_ptr<spdlog::logger> logger(std::string_view subsystem, std::string_view category) {
    static std::mutex mutex;
    static const auto sink =
        std::make_shared<ShownLinesSink>(std::make_shared<spdlog::sinks::stderr_color_sink_mt>());
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
