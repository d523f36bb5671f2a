#pragma once

#include "core/support/Bytes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tandrel {

// One property-list value as the library readers see it: the kinds a property list stores,
// numbers with their stored kind, the keyed archiver's reference (UID) and a null marker for
// values that could not be resolved. Containers are immutable and shared, so copying a value
// is cheap whatever its size.
class PlistValue {
public:
    enum class Kind { null, boolean, integer, real, string, data, date, uid, array, dictionary };

    using Array = std::vector<PlistValue>;
    using Dictionary = std::map<std::string, PlistValue, std::less<>>;

    // The null marker.
    PlistValue() = default;

    static PlistValue boolean(bool value);
    static PlistValue integer(int64_t value);
    static PlistValue real(double value);
    static PlistValue string(std::string value);
    static PlistValue data(Bytes value);
    // Seconds since 1 January 2001, as property lists store dates.
    static PlistValue date(double secondsSince2001);
    static PlistValue uid(uint64_t index);
    static PlistValue array(Array items);
    static PlistValue dictionary(Dictionary entries);

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNull() const { return kind() == Kind::null; }

    // The stored value when it is of that kind, else nothing (no conversion).
    const bool *asBoolean() const { return std::get_if<bool>(&storage_); }
    const int64_t *asInteger() const { return std::get_if<int64_t>(&storage_); }
    const double *asReal() const { return std::get_if<double>(&storage_); }
    const std::string *asString() const { return std::get_if<std::string>(&storage_); }
    const Bytes *asData() const { return std::get_if<Bytes>(&storage_); }
    std::optional<double> asDate() const;
    std::optional<uint64_t> asUID() const;
    const Array *asArray() const;
    const Dictionary *asDictionary() const;

    // The entry of a dictionary, or nothing (also when this is not a dictionary).
    const PlistValue *find(std::string_view key) const;

    // The readers' conversions of numbers: an integer only from an exactly integral value in
    // range (a boolean reads as 0 or 1); a double only from an exactly representable value;
    // a boolean only from a boolean or a number equal to 0 or 1.
    std::optional<int64_t> integerValue() const;
    std::optional<double> doubleValue() const;
    std::optional<bool> boolValue() const;
    std::optional<std::string> stringValue() const;

    friend bool operator==(const PlistValue &a, const PlistValue &b);

private:
    struct Date {
        double seconds;
        friend bool operator==(const Date &, const Date &) = default;
    };
    struct UID {
        uint64_t index;
        friend bool operator==(const UID &, const UID &) = default;
    };

    std::variant<std::monostate, bool, int64_t, double, std::string, Bytes, Date, UID,
                 std::shared_ptr<const Array>, std::shared_ptr<const Dictionary>>
        storage_;
};

} // namespace tandrel
