#include "tools/make-sample-library/PlistWriter.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace tandrel::sample {

namespace {

plist_t toNode(const PlistValue &value) {
    switch (value.kind()) {
    case PlistValue::Kind::null:
        return plist_new_string("");
    case PlistValue::Kind::boolean:
        return plist_new_bool(*value.asBoolean() ? 1 : 0);
    case PlistValue::Kind::integer:
        return plist_new_uint(static_cast<uint64_t>(*value.asInteger()));
    case PlistValue::Kind::real:
        return plist_new_real(*value.asReal());
    case PlistValue::Kind::string:
        return plist_new_string(value.asString()->c_str());
    case PlistValue::Kind::data: {
        const Bytes &bytes = *value.asData();
        return plist_new_data(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    }
    case PlistValue::Kind::date: {
        const double seconds = *value.asDate();
        const double whole = std::floor(seconds);
        return plist_new_date(static_cast<int32_t>(whole),
                              static_cast<int32_t>((seconds - whole) * 1e6));
    }
    case PlistValue::Kind::uid:
        return plist_new_uid(*value.asUID());
    case PlistValue::Kind::array: {
        plist_t node = plist_new_array();
        for (const PlistValue &item : *value.asArray()) {
            plist_array_append_item(node, toNode(item));
        }
        return node;
    }
    case PlistValue::Kind::dictionary: {
        plist_t node = plist_new_dict();
        for (const auto &[key, item] : *value.asDictionary()) {
            plist_dict_set_item(node, key.c_str(), toNode(item));
        }
        return node;
    }
    }
    throw std::logic_error("unknown property-list value");
}

} // namespace

Bytes writePlist(const PlistValue &value, PlistFormat format) {
    std::unique_ptr<void, decltype(&plist_free)> root(toNode(value), &plist_free);
    char *out = nullptr;
    uint32_t length = 0;
    if (format == PlistFormat::binary) {
        plist_to_bin(root.get(), &out, &length);
    } else {
        plist_to_xml(root.get(), &out, &length);
    }
    std::unique_ptr<char, decltype(&std::free)> owner(out, &std::free);
    if (!out) {
        throw std::runtime_error("property list could not be written");
    }
    const auto *begin = reinterpret_cast<const uint8_t *>(out);
    return Bytes(begin, begin + length);
}

} // namespace tandrel::sample
