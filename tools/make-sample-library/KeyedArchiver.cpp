#include "tools/make-sample-library/KeyedArchiver.h"

namespace tandrel::sample {

size_t KeyedArchiver::reserve() {
    objects_.emplace_back();
    return objects_.size() - 1;
}

PlistValue KeyedArchiver::classReference(const std::string &name) {
    if (auto it = classes_.find(name); it != classes_.end()) {
        return PlistValue::uid(it->second);
    }
    const size_t index = reserve();
    objects_[index] = PlistValue::dictionary(
        {{"$classname", PlistValue::string(name)},
         {"$classes",
          PlistValue::array({PlistValue::string(name), PlistValue::string("NSObject")})}});
    classes_.emplace(name, index);
    return PlistValue::uid(index);
}

PlistValue KeyedArchiver::encode(const PlistValue &value) {
    switch (value.kind()) {
    case PlistValue::Kind::null:
        return PlistValue::uid(0);
    case PlistValue::Kind::uid:
        // A reference made by hand stays as it is.
        return value;
    case PlistValue::Kind::string: {
        if (auto it = strings_.find(*value.asString()); it != strings_.end()) {
            return PlistValue::uid(it->second);
        }
        const size_t index = reserve();
        objects_[index] = value;
        strings_.emplace(*value.asString(), index);
        return PlistValue::uid(index);
    }
    case PlistValue::Kind::array: {
        const size_t index = reserve();
        PlistValue::Array references;
        for (const PlistValue &item : *value.asArray()) {
            references.push_back(encode(item));
        }
        objects_[index] =
            PlistValue::dictionary({{"NS.objects", PlistValue::array(std::move(references))},
                                    {"$class", classReference("NSArray")}});
        return PlistValue::uid(index);
    }
    case PlistValue::Kind::dictionary: {
        const size_t index = reserve();
        const PlistValue *className = value.find("$class");
        PlistValue::Dictionary archived;
        if (className && className->asString()) {
            for (const auto &[key, item] : *value.asDictionary()) {
                if (key != "$class") {
                    archived.emplace(key, encode(item));
                }
            }
            archived.emplace("$class", classReference(*className->asString()));
        } else {
            PlistValue::Array keys;
            PlistValue::Array values;
            for (const auto &[key, item] : *value.asDictionary()) {
                keys.push_back(encode(PlistValue::string(key)));
                values.push_back(encode(item));
            }
            archived.emplace("NS.keys", PlistValue::array(std::move(keys)));
            archived.emplace("NS.objects", PlistValue::array(std::move(values)));
            archived.emplace("$class", classReference("NSDictionary"));
        }
        objects_[index] = PlistValue::dictionary(std::move(archived));
        return PlistValue::uid(index);
    }
    default: {
        // Numbers, booleans, data and dates are stored inline in the object list.
        const size_t index = reserve();
        objects_[index] = value;
        return PlistValue::uid(index);
    }
    }
}

PlistValue KeyedArchiver::archiveValue(const PlistValue &root) {
    KeyedArchiver archiver;
    archiver.encode(root);
    return wrapValue(std::move(archiver.objects_));
}

Bytes KeyedArchiver::archive(const PlistValue &root, PlistFormat format) {
    return writePlist(archiveValue(root), format);
}

PlistValue KeyedArchiver::wrapValue(PlistValue::Array objects) {
    return PlistValue::dictionary({{"$archiver", PlistValue::string("NSKeyedArchiver")},
                                   {"$version", PlistValue::integer(100000)},
                                   {"$top", PlistValue::dictionary({{"root", PlistValue::uid(1)}})},
                                   {"$objects", PlistValue::array(std::move(objects))}});
}

Bytes KeyedArchiver::wrap(PlistValue::Array objects, PlistFormat format) {
    return writePlist(wrapValue(std::move(objects)), format);
}

} // namespace tandrel::sample
