#pragma once

#include "tools/make-sample-library/PlistWriter.h"

#include <string>
#include <unordered_map>

namespace tandrel::sample {

// Writes keyed archives the way the editor's archiver lays them out: every object in one
// "$objects" list (index 0 the "$null" placeholder, index 1 the root), referring to each
// other by UID. Dictionaries become archived dictionaries ("NS.keys", "NS.objects"), arrays
// archived arrays ("NS.objects"), and a dictionary with a string "$class" entry an archived
// object of that class whose other entries are its references. Strings are stored once.
class KeyedArchiver {
public:
    static Bytes archive(const PlistValue &root, PlistFormat format = PlistFormat::binary);
    // The archive's top-level dictionary, before it is written.
    static PlistValue archiveValue(const PlistValue &root);
    // An archive around a hand-made object list, for archives no archiver would write.
    static Bytes wrap(PlistValue::Array objects, PlistFormat format = PlistFormat::binary);
    static PlistValue wrapValue(PlistValue::Array objects);

private:
    PlistValue encode(const PlistValue &value);
    PlistValue classReference(const std::string &name);
    size_t reserve();

    PlistValue::Array objects_{PlistValue::string("$null")};
    std::unordered_map<std::string, size_t> strings_;
    std::unordered_map<std::string, size_t> classes_;
};

} // namespace tandrel::sample
