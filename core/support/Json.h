#pragma once

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>

namespace tandrel {

// Every record of ours is coded through ordered_json so that written keys keep the order in
// which the record declares them.
using Json = nlohmann::ordered_json;

// A record could not be read from JSON. The description is the text users and logs see.
class DecodingError : public std::runtime_error {
public:
    enum class Kind { typeMismatch, keyNotFound, valueNotFound, dataCorrupted };

    DecodingError(Kind kind, const std::string &description)
        : std::runtime_error(description), kind_(kind) {}

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// A record could not be written as JSON (a non-finite number, for one).
class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tandrel
