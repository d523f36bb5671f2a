#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tandrel::testing {

// Sets (or, with nothing, unsets) an environment variable for the life of the object.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const std::optional<std::string> &value)
        : name_(std::move(name)) {
        if (const char *old = std::getenv(name_.c_str())) {
            previous_ = old;
        }
        set(value);
    }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable &) = delete;
    ScopedEnvironmentVariable &operator=(const ScopedEnvironmentVariable &) = delete;
    ~ScopedEnvironmentVariable() { set(previous_); }

private:
    void set(const std::optional<std::string> &value) {
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

    std::string name_;
    std::optional<std::string> previous_;
};

} // namespace tandrel::testing
