// Feeds arbitrary bytes to the keyed-archive readers: the blob decoder with its getters, the
// ordered identifier walk and the role-set walker, which follows references deepest.

#include "core/database/BlobDecoder.h"
#include "core/database/PropertyListReader.h"
#include "core/database/RoleResolver.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>

using namespace tandrel;

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
            if (blob.value(key) == nullptr || !(*blob.value(key) == value)) {
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
