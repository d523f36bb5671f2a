#include "platform/bundle/BundlePath.h"

#include "core/support/UnicodeText.h"

#include <cstdio>
#include <vector>

namespace platform {

namespace {

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool hasControl(std::string_view text) {
    for (char c : text) {
        if (isControl(c)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t slash = path.find('/');
        parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos) {
            return parts;
        }
        path.remove_prefix(slash + 1);
    }
}

} // namespace

std::optional<std::string> BundlePath::problem(std::string_view relative) {
    if (relative.empty()) {
        return "an empty name";
    }
    if (relative.size() > maxLength) {
        return "a name longer than " + std::to_string(maxLength) + " bytes";
    }
    if (relative.front() == '/') {
        return "an absolute path";
    }
    if (hasControl(relative)) {
        return "a control character in the name";
    }
    for (std::string_view component : components(relative)) {
        if (component.empty()) {
            return "an empty path component";
        }
        if (component == "." || component == "..") {
            return "a \"" + std::string(component) + "\" component";
        }
        if (component.size() > maxComponentLength) {
            return "a path component longer than " + std::to_string(maxComponentLength) + " bytes";
        }
    }
    return std::nullopt;
}

bool BundlePath::linkStaysInside(std::string_view linkPath, std::string_view target) {
    if (target.empty() || target.front() == '/' || hasControl(target)) {
        return false;
    }
    const std::size_t folderDepth = components(linkPath).size() - 1;
    std::size_t climbs = 0;
    bool descended = false;
    for (std::string_view component : components(target)) {
        if (component.empty() || component == ".") {
            continue;
        }
        if (component == "..") {
            if (descended) {
                return false;
            }
            ++climbs;
        } else {
            descended = true;
        }
    }
    return climbs <= folderDepth;
}

std::string BundlePath::printable(std::string_view text) {
    return tandrel::withControlsShown(text);
}

} // namespace platform
