#pragma once

#include "core/support/JsonValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tandrel {

// Writes the members of one record into a JSON object for its to_json:
//
//     void to_json(Json &json, const MarkerInfo &marker) { json = JsonWriter::record(marker); }
//
// The record's forEachMember calls the writer as a visitor, `writer(key, member)`, once per
// member in the record's order, which is the order of the written keys. An absent optional
// member is left out, never written as null; a non-finite number fails the whole record,
// naming the key it sat under. The object is handed over only once every member is written,
// so a failed encoding leaves the caller's JSON as it was (a JSON value under construction
// would otherwise leak what it had been given).
class JsonWriter {
public:
    template <typename Record> static Json record(const Record &value) {
        JsonWriter writer;
        Record::forEachMember(value, writer);
        return std::move(writer.json_);
    }

    template <typename T> void operator()(std::string_view key, const T &member) {
        try {
            json_[std::string(key)] = encodeJsonValue(member);
        } catch (const EncodingError &error) {
            throw error.under(key);
        }
    }

    template <typename T> void operator()(std::string_view key, const std::optional<T> &member) {
        if (member) {
            (*this)(key, *member);
        }
    }

private:
    JsonWriter() = default;

    Json json_ = Json::object();
};

} // namespace tandrel
