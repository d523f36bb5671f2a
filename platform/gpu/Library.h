#pragma once

#include "platform/gpu/Error.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class FunctionType { vertex, fragment };

// A shader function of a library. The compositor has one program for each stage, and a
// library's functions name them:
// - a vertex function reads records of four 32-bit floats (clip-space x, y, then texture
//   coordinates u, v) from vertex buffer 0 and passes them on (z 0, w 1);
// - a fragment function samples fragment texture 0 at the nearest texel (coordinates clamped to
//   the edge) and returns its colour, pre-multiplied as stored.
class Function {
public:
    Function(std::string name, FunctionType type) : name_(std::move(name)), type_(type) {}
    const std::string &name() const { return name_; }
    FunctionType functionType() const { return type_; }

private:
    std::string name_;
    FunctionType type_;
};

// A set of named shader functions. Its source text has one function a line, "vertex <name>" or
// "fragment <name>"; blank lines and lines starting with '#' are ignored. A program's bundle
// carries its default library as the file "default.gpulib".
class Library {
public:
    static constexpr const char *defaultFileName = "default.gpulib";
    static constexpr const char *errorDomain = "platform.gpu.library";

    // Nothing (and the reason in `error`) when a line is not of the form above or a name repeats.
    static std::shared_ptr<Library> fromSource(std::string_view source, Error *error = nullptr);
    // The default library of the bundle folder; nothing when the file is missing or invalid.
    static std::shared_ptr<Library> fromBundle(const std::filesystem::path &bundle,
                                               Error *error = nullptr);

    // The function of that name, or nothing.
    std::shared_ptr<Function> newFunction(std::string_view name) const;
    std::vector<std::string> functionNames() const;

private:
    explicit Library(std::vector<std::shared_ptr<Function>> functions)
        : functions_(std::move(functions)) {}

    std::vector<std::shared_ptr<Function>> functions_;
};

} // namespace platform
