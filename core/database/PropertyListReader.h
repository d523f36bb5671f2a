#pragma once

#include "core/database/PlistValue.h"
#include "core/support/UnicodeText.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Bytes that are not a property list the reader accepts. The description says why.
class PropertyListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads binary and XML property lists into `PlistValue`s. Every input first passes the
// bounded checks of `PropertyListCheck`; what fails them is reported like any other
// unreadable data. Integers come back as signed 64-bit values (the 64-bit pattern of the
// stored number), reals as doubles, UIDs as references. Pure and thread-safe.
struct PropertyListReader {
    // Strings are kept to their first maxStringBytes bytes, cut where a character begins.
    static PlistValue read(std::span<const uint8_t> data);
    static constexpr std::size_t maxStringBytes = maxReadTextBytes;

    // A property list parsed whole, with the items of one array below its top dictionary
    // converted only as they are read: a reader that needs a few items of a long list
    // converts (and later frees) just those, and each at most once. Items read are the
    // values `read` would give at the same place. Not thread-safe.
    class ListedItems {
    public:
        // Parses with the checks and failures of `read`.
        explicit ListedItems(std::span<const uint8_t> data);
        ~ListedItems();
        ListedItems(const ListedItems &) = delete;
        ListedItems &operator=(const ListedItems &) = delete;

        bool topIsDictionary() const;
        // Lists the items of the array the top dictionary holds under `key` (of two entries
        // with that key, the later); false, listing nothing, when there is none or it is no
        // array.
        bool list(std::string_view key);
        size_t size() const { return items_.size(); }
        // The item converted, once.
        const PlistValue &operator[](size_t index) const;

    private:
        void *root_ = nullptr;
        std::vector<void *> items_;
        mutable std::vector<std::optional<PlistValue>> converted_;
    };
};

} // namespace tandrel
