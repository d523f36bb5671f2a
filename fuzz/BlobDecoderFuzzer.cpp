// Feeds arbitrary bytes to the keyed-archive readers: the blob decoder with its getters, the
// ordered identifier walk and the role-set walker, which follows references deepest.

#include "core/database/BlobDecoder.h"
#include "core/database/PropertyListReader.h"
#include "core/database/RoleResolver.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>

using namespace tandrel;

namespace {

// Equality in which a NaN equals itself: archives may store one, and the value a getter finds
// is then still the one the map holds.
bool same(const PlistValue &a, const PlistValue &b) {
    if (a.kind() != b.kind()) {
        return false;
    }
    if (const double *x = a.asReal()) {
        return (std::isnan(*x) && std::isnan(*b.asReal())) || *x == *b.asReal();
    }
    if (const auto *items = a.asArray()) {
        return std::equal(items->begin(), items->end(), b.asArray()->begin(),
                          b.asArray()->end(), same);
    }
    if (const auto *entries = a.asDictionary()) {
        return std::equal(entries->begin(), entries->end(), b.asDictionary()->begin(),
                          b.asDictionary()->end(), [](const auto &x, const auto &y) {
                              return x.first == y.first && same(x.second, y.second);
                          });
    }
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    try {
        const auto blob = BlobDecoder::decode(bytes);
        for (const auto &key : blob.rootKeys()) {
            (void)blob.string(key);
            (void)blob.integer(key);
            (void)blob.boolean(key);
            (void)blob.real(key);
            (void)blob.data(key);
            (void)blob.dictionary(key);
            (void)blob.array(key);
        }
        // Of two equal keys the later wins, in the map as in the getters.
        for (const auto &[key, value] : blob.keyValueMap()) {
            if (blob.value(key) == nullptr || !same(*blob.value(key), value)) {
                __builtin_trap();
            }
        }
    } catch (const std::exception &) {
    }
    (void)BlobDecoder::orderedChildIdentifiers(bytes);
    try {
        const PlistValue archive = PropertyListReader::read(bytes);
        if (const PlistValue *objects = archive.find("$objects"); objects && objects->asArray()) {
            RoleResolver roles;
            roles.extractRoles(*objects->asArray());
            for (const auto &role : roles.topLevelRoles()) {
                (void)roles.subRoles(role.uuid);
                (void)roles.resolve(role.uuid);
            }
        }
    } catch (const std::exception &) {
    }
    return 0;
}
