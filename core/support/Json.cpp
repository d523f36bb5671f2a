#include "core/support/Json.h"

namespace tandrel {

namespace {

std::string describe(const std::string &detail, const std::string &codingPath) {
    return codingPath.empty() ? detail : detail + " (at " + codingPath + ")";
}

} // namespace

CodingError::CodingError(std::string detail, std::string codingPath)
    : std::runtime_error(describe(detail, codingPath)), detail_(std::move(detail)),
      codingPath_(std::move(codingPath)) {}

std::string CodingError::pathUnder(std::string_view component) const {
    std::string path(component);
    if (!codingPath_.empty() && codingPath_.front() != '[') {
        path += '.';
    }
    return path + codingPath_;
}

} // namespace tandrel
