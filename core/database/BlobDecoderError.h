#pragma once

#include <stdexcept>

namespace tandrel {

// A blob that is a property list but not a keyed archive of the expected shape. Compared by
// case.
class BlobDecoderError : public std::runtime_error {
public:
    enum class Case { invalidPlist, missingObjects, emptyBlob, invalidRoot };

    explicit BlobDecoderError(Case c) : std::runtime_error(description(c)), case_(c) {}

    Case errorCase() const { return case_; }
    friend bool operator==(const BlobDecoderError &a, const BlobDecoderError &b) {
        return a.case_ == b.case_;
    }

    static const char *description(Case c) {
        switch (c) {
        case Case::invalidPlist:
            return "Blob is not a valid property list";
        case Case::missingObjects:
            return "Blob missing $objects array";
        case Case::emptyBlob:
            return "Blob has no objects";
        case Case::invalidRoot:
            return "Root dictionary has invalid structure";
        }
        return "";
    }

private:
    Case case_;
};

} // namespace tandrel
