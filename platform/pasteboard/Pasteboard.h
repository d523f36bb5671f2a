#pragma once

#include <map>
#include <optional>
#include <string>

namespace platform {

// The general pasteboard: data under named types, put there by one program (or window) and
// taken by another, also in a later run.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    virtual void clearContents() = 0;
    // Adds the data under the type to the contents, replacing data of that type.
    virtual void setData(const std::string &data, const std::string &type) = 0;
    // Nothing when the contents hold no data of that type.
    virtual std::optional<std::string> data(const std::string &type) const = 0;
};

// A pasteboard in memory, shared by whoever holds it: for programs without a display, and
// for tests.
class MemoryPasteboard final : public Pasteboard {
public:
    void clearContents() override { contents_.clear(); }
    void setData(const std::string &data, const std::string &type) override {
        contents_[type] = data;
    }
    std::optional<std::string> data(const std::string &type) const override {
        const auto found = contents_.find(type);
        return found == contents_.end() ? std::nullopt : std::optional(found->second);
    }

private:
    std::map<std::string, std::string> contents_;
};

} // namespace platform
