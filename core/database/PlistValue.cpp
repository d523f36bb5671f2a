#include "core/database/PlistValue.h"

#include "core/support/Numeric.h"

#include <cmath>

namespace tandrel {

PlistValue PlistValue::boolean(bool value) {
    PlistValue v;
    v.storage_.emplace<bool>(value);
    return v;
}

PlistValue PlistValue::integer(int64_t value) {
    PlistValue v;
    v.storage_.emplace<int64_t>(value);
    return v;
}

PlistValue PlistValue::real(double value) {
    PlistValue v;
    v.storage_.emplace<double>(value);
    return v;
}

PlistValue PlistValue::string(std::string value) {
    PlistValue v;
    v.storage_.emplace<std::string>(std::move(value));
    return v;
}

PlistValue PlistValue::data(Bytes value) {
    PlistValue v;
    v.storage_.emplace<Bytes>(std::move(value));
    return v;
}

PlistValue PlistValue::date(double secondsSince2001) {
    PlistValue v;
    v.storage_.emplace<Date>(Date{secondsSince2001});
    return v;
}

PlistValue PlistValue::uid(uint64_t index) {
    PlistValue v;
    v.storage_.emplace<UID>(UID{index});
    return v;
}

PlistValue PlistValue::array(Array items) {
    PlistValue v;
    v.storage_.emplace<std::shared_ptr<const Array>>(
        std::make_shared<const Array>(std::move(items)));
    return v;
}

PlistValue PlistValue::dictionary(Dictionary entries) {
    PlistValue v;
    v.storage_.emplace<std::shared_ptr<const Dictionary>>(
        std::make_shared<const Dictionary>(std::move(entries)));
    return v;
}

std::optional<double> PlistValue::asDate() const {
    if (const auto *d = std::get_if<Date>(&storage_)) {
        return d->seconds;
    }
    return std::nullopt;
}

std::optional<uint64_t> PlistValue::asUID() const {
    if (const auto *u = std::get_if<UID>(&storage_)) {
        return u->index;
    }
    return std::nullopt;
}

const PlistValue::Array *PlistValue::asArray() const {
    const auto *a = std::get_if<std::shared_ptr<const Array>>(&storage_);
    return a ? a->get() : nullptr;
}

const PlistValue::Dictionary *PlistValue::asDictionary() const {
    const auto *d = std::get_if<std::shared_ptr<const Dictionary>>(&storage_);
    return d ? d->get() : nullptr;
}

const PlistValue *PlistValue::find(std::string_view key) const {
    const Dictionary *d = asDictionary();
    if (!d) {
        return nullptr;
    }
    auto it = d->find(key);
    return it == d->end() ? nullptr : &it->second;
}

std::optional<int64_t> PlistValue::integerValue() const {
    if (const auto *i = asInteger()) {
        return *i;
    }
    if (const auto *b = asBoolean()) {
        return *b ? 1 : 0;
    }
    if (const auto *r = asReal()) {
        if (std::isfinite(*r) && std::trunc(*r) == *r) {
            return truncateToInt64(*r);
        }
    }
    return std::nullopt;
}

std::optional<double> PlistValue::doubleValue() const {
    if (const auto *r = asReal()) {
        return *r;
    }
    if (const auto *b = asBoolean()) {
        return *b ? 1.0 : 0.0;
    }
    if (const auto *i = asInteger()) {
        // Exact only when the double converts back to the same integer.
        const double d = static_cast<double>(*i);
        if (truncateToInt64(d) == *i) {
            return d;
        }
    }
    return std::nullopt;
}

std::optional<bool> PlistValue::boolValue() const {
    if (const auto *b = asBoolean()) {
        return *b;
    }
    if (const auto *i = asInteger()) {
        if (*i == 0 || *i == 1) {
            return *i == 1;
        }
    }
    if (const auto *r = asReal()) {
        if (*r == 0.0 || *r == 1.0) {
            return *r == 1.0;
        }
    }
    return std::nullopt;
}

std::optional<std::string> PlistValue::stringValue() const {
    if (const auto *s = asString()) {
        return *s;
    }
    return std::nullopt;
}

bool operator==(const PlistValue &a, const PlistValue &b) {
    if (a.kind() != b.kind()) {
        return false;
    }
    if (const auto *x = a.asArray()) {
        return *x == *b.asArray();
    }
    if (const auto *x = a.asDictionary()) {
        return *x == *b.asDictionary();
    }
    return a.storage_ == b.storage_;
}

} // namespace tandrel
