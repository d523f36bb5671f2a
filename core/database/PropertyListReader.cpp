#include "core/database/PropertyListReader.h"

#include "core/database/PropertyListCheck.h"
#include "core/support/UnicodeText.h"

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace tandrel {

namespace {

constexpr char binaryHeader[] = "bplist00";

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistFree>;

PlistValue convert(plist_t node, int depth) {
    // The checks bound the nesting before parsing; this guard keeps the conversion bounded
    // on its own.
    if (depth > PropertyListCheck::maxDepth) {
        throw PropertyListError("Property list is nested too deeply");
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PlistValue::boolean(value != 0);
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return PlistValue::integer(static_cast<int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PlistValue::real(value);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        // A library's texts are names and notes: no reader needs more of one than its first
        // MiB, and each copy of one beyond it would cost the host its whole size.
        const std::string_view whole(text ? text : "", text ? length : 0);
        return PlistValue::string(
            std::string(utf8Prefix(whole, PropertyListReader::maxStringBytes)));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char *bytes = plist_get_data_ptr(node, &length);
        const auto *begin = reinterpret_cast<const uint8_t *>(bytes);
        return PlistValue::data(bytes ? Bytes(begin, begin + length) : Bytes());
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return PlistValue::date(seconds + microseconds / 1e6);
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return PlistValue::uid(value);
    }
    case PLIST_ARRAY: {
        PlistValue::Array items;
        items.reserve(plist_array_get_size(node));
        // The parser's arrays are lists: its iterator steps through one in a single pass,
        // where fetching item after item by index would walk it again for each.
        plist_array_iter iter = nullptr;
        plist_array_new_iter(node, &iter);
        if (!iter) {
            return PlistValue::array(std::move(items));
        }
        std::unique_ptr<void, decltype(&std::free)> iterHandle(iter, &std::free);
        for (;;) {
            plist_t item = nullptr;
            plist_array_next_item(node, iter, &item);
            if (!item) {
                break;
            }
            items.push_back(convert(item, depth + 1));
        }
        return PlistValue::array(std::move(items));
    }
    case PLIST_DICT: {
        PlistValue::Dictionary entries;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        if (!iter) {
            return PlistValue::dictionary({});
        }
        std::unique_ptr<void, decltype(&std::free)> iterHandle(iter, &std::free);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iter, &key, &value);
            if (!value) {
                std::free(key);
                break;
            }
            std::unique_ptr<char, decltype(&std::free)> keyHandle(key, &std::free);
            entries.insert_or_assign(key ? std::string(key) : std::string(),
                                     convert(value, depth + 1));
        }
        return PlistValue::dictionary(std::move(entries));
    }
    default:
        return PlistValue();
    }
}

} // namespace

namespace {

// The parsed tree of checked data; never null.
plist_t parsed(std::span<const uint8_t> data) {
    if (data.size() > std::numeric_limits<uint32_t>::max()) {
        throw PropertyListError("Property list is too large");
    }
    const bool binary = data.size() >= 8 && std::memcmp(data.data(), binaryHeader, 8) == 0;
    const auto problem =
        binary ? PropertyListCheck::binaryProblem(data) : PropertyListCheck::xmlProblem(data);
    if (problem) {
        throw PropertyListError("Property list refused: " + *problem);
    }
    plist_t root = nullptr;
    const auto *chars = reinterpret_cast<const char *>(data.data());
    const auto length = static_cast<uint32_t>(data.size());
    if (binary) {
        plist_from_bin(chars, length, &root);
    } else if (length > 0) {
        plist_from_xml(chars, length, &root);
    }
    if (!root) {
        throw PropertyListError("The data is not a property list");
    }
    return root;
}

} // namespace

PlistValue PropertyListReader::read(std::span<const uint8_t> data) {
    PlistHandle handle(parsed(data));
    return convert(handle.get(), 0);
}

PropertyListReader::ListedItems::ListedItems(std::span<const uint8_t> data)
    : root_(parsed(data)) {}

PropertyListReader::ListedItems::~ListedItems() {
    plist_free(root_);
}

bool PropertyListReader::ListedItems::topIsDictionary() const {
    return plist_get_node_type(root_) == PLIST_DICT;
}

bool PropertyListReader::ListedItems::list(std::string_view key) {
    items_.clear();
    converted_.clear();
    if (!topIsDictionary()) {
        return false;
    }
    // Every entry in order, as the conversion of the whole dictionary meets them: the later
    // entry of a key is the one it keeps.
    plist_t array = nullptr;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(root_, &iter);
    if (!iter) {
        return false;
    }
    std::unique_ptr<void, decltype(&std::free)> iterHandle(iter, &std::free);
    for (;;) {
        char *entryKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root_, iter, &entryKey, &value);
        std::unique_ptr<char, decltype(&std::free)> keyHandle(entryKey, &std::free);
        if (!value) {
            break;
        }
        if (std::string_view(entryKey ? entryKey : "") == key) {
            array = value;
        }
    }
    if (!array || plist_get_node_type(array) != PLIST_ARRAY) {
        return false;
    }
    // One pass over the parser's list of items; reading item after item by index would walk
    // it again for each.
    items_.reserve(plist_array_get_size(array));
    plist_array_iter items = nullptr;
    plist_array_new_iter(array, &items);
    if (!items) {
        return true;
    }
    std::unique_ptr<void, decltype(&std::free)> itemsHandle(items, &std::free);
    for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(array, items, &item);
        if (!item) {
            break;
        }
        items_.push_back(item);
    }
    converted_.resize(items_.size());
    return true;
}

const PlistValue &PropertyListReader::ListedItems::operator[](size_t index) const {
    std::optional<PlistValue> &value = converted_.at(index);
    if (!value) {
        // The top dictionary is at depth 0, the array at 1, its items at 2.
        value = convert(items_[index], 2);
    }
    return *value;
}

} // namespace tandrel
