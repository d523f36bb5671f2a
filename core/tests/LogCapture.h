#pragma once

// Collects what one logger writes while the object lives, message text only.

#include "core/support/Log.h"

#include <spdlog/sinks/ostream_sink.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

namespace tandrel::testing {

class LogCapture {
public:
    LogCapture(std::string_view subsystem, std::string_view category)
        : logger_(logger(subsystem, category)) {
        sink_->set_pattern("%v");
        logger_->sinks().push_back(sink_);
    }
    ~LogCapture() {
        auto &sinks = logger_->sinks();
        sinks.erase(std::remove(sinks.begin(), sinks.end(), sink_), sinks.end());
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    std::string text() const { return stream_.str(); }

private:
    std::ostringstream stream_;
    std::shared_ptr<spdlog::sinks::ostream_sink_mt> sink_ =
        std::make_shared<spdlog::sinks::ostream_sink_mt>(stream_);
    std::shared_ptr<spdlog::logger> logger_;
};

} // namespace tandrel::testing
