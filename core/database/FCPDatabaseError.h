#pragma once

#include <stdexcept>
#include <string>

namespace tandrel {

// Failures of the library database connection; each carries SQLite's message or a fixed
// text.
class FCPDatabaseError : public std::runtime_error {
public:
    enum class Case { connectionFailed, queryFailed, blobDecodingFailed };

    FCPDatabaseError(Case c, std::string message)
        : std::runtime_error(prefix(c) + message), case_(c), message_(std::move(message)) {}

    Case errorCase() const { return case_; }
    const std::string &message() const { return message_; }

private:
    static std::string prefix(Case c) {
        switch (c) {
        case Case::connectionFailed:
            return "Failed to open FCP database: ";
        case Case::queryFailed:
            return "Query failed: ";
        case Case::blobDecodingFailed:
            return "Blob decoding failed: ";
        }
        return "";
    }

    Case case_;
    std::string message_;
};

} // namespace tandrel
