#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

namespace tandrel {

// Every record of ours is coded through ordered_json so that written keys keep the order in
// which the record declares them.
using Json = nlohmann::ordered_json;

// A coding failure: what went wrong, and where in the document ("entries[2].metadata.frameRate";
// empty at the top level). The description is the text users and logs see.
class CodingError : public std::runtime_error {
public:
    CodingError(std::string detail, std::string codingPath);

    const std::string &detail() const { return detail_; }
    const std::string &codingPath() const { return codingPath_; }

protected:
    // The coding path as seen from the value that holds this one under `component` (a key, or
    // an index written "[3]").
    std::string pathUnder(std::string_view component) const;

private:
    std::string detail_;
    std::string codingPath_;
};

// A record could not be read from JSON.
class DecodingError : public CodingError {
public:
    enum class Kind { typeMismatch, keyNotFound, valueNotFound, dataCorrupted };

    DecodingError(Kind kind, std::string detail, std::string codingPath = {})
        : CodingError(std::move(detail), std::move(codingPath)), kind_(kind) {}

    Kind kind() const { return kind_; }
    DecodingError under(std::string_view component) const {
        return {kind_, detail(), pathUnder(component)};
    }

private:
    Kind kind_;
};

// A record could not be written as JSON (a non-finite number, for one).
class EncodingError : public CodingError {
public:
    explicit EncodingError(std::string detail, std::string codingPath = {})
        : CodingError(std::move(detail), std::move(codingPath)) {}

    EncodingError under(std::string_view component) const {
        return EncodingError(detail(), pathUnder(component));
    }
};

} // namespace tandrel
