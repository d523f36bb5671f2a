#include "timecode/core/ItemProvider.h"

#include <algorithm>

namespace timecode {

const UniformType &UniformType::data() {
    static const UniformType type("public.data");
    return type;
}

const UniformType &UniformType::utf8PlainText() {
    static const UniformType type("public.utf8-plain-text",
                                  {"public.plain-text", "public.text", "public.data"});
    return type;
}

const UniformType &UniformType::timecode() {
    static const UniformType type("com.varnell.timecode", {"public.data"});
    return type;
}

bool UniformType::conforms(std::string_view identifier) const {
    return identifier_ == identifier ||
           std::find(conformsTo_.begin(), conformsTo_.end(), identifier) != conformsTo_.end();
}

void ItemProvider::registerData(const UniformType &type, std::string bytes) {
    registerLoader(type, [bytes = std::move(bytes)] { return bytes; });
}

void ItemProvider::registerLoader(const UniformType &type, Loader loader) {
    representations_.push_back({type, std::move(loader)});
}

std::vector<std::string> ItemProvider::registeredTypeIdentifiers() const {
    std::vector<std::string> identifiers;
    for (const Representation &representation : representations_) {
        identifiers.push_back(representation.type.identifier());
    }
    return identifiers;
}

bool ItemProvider::hasItemConforming(std::string_view identifier) const {
    return std::any_of(representations_.begin(), representations_.end(),
                       [&](const Representation &r) { return r.type.conforms(identifier); });
}

std::string ItemProvider::loadData(std::string_view identifier) const {
    for (const Representation &representation : representations_) {
        if (representation.type.conforms(identifier)) {
            return representation.loader();
        }
    }
    throw std::out_of_range("No item of type " + std::string(identifier));
}

} // namespace timecode
