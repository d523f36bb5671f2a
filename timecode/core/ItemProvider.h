#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace timecode {

// A kind of transferred data, named by its identifier ("public.utf8-plain-text"), and the
// identifiers of the kinds it is also one of.
class UniformType {
public:
    explicit UniformType(std::string identifier, std::vector<std::string> conformsTo = {})
        : identifier_(std::move(identifier)), conformsTo_(std::move(conformsTo)) {}

    // "public.data": any bytes.
    static const UniformType &data();
    // "public.utf8-plain-text": text in UTF-8.
    static const UniformType &utf8PlainText();
    // "com.varnell.timecode": one timecode as JSON; a kind of data.
    static const UniformType &timecode();

    const std::string &identifier() const { return identifier_; }
    // The same identifier, or one this type is also.
    bool conforms(std::string_view identifier) const;

    friend bool operator==(const UniformType &lhs, const UniformType &rhs) {
        return lhs.identifier_ == rhs.identifier_;
    }

private:
    std::string identifier_;
    std::vector<std::string> conformsTo_;
};

// One item as it travels through copy and paste or drag and drop: representations under their
// types, each bytes held or a loader that answers them later or throws. Bytes are held in a
// std::string.
class ItemProvider {
public:
    using Loader = std::function<std::string()>;

    void registerData(const UniformType &type, std::string bytes);
    void registerLoader(const UniformType &type, Loader loader);

    // In the order of registration.
    std::vector<std::string> registeredTypeIdentifiers() const;
    bool hasItemConforming(std::string_view identifier) const;
    // The bytes of the first representation that conforms; throws what its loader throws, or
    // std::out_of_range when none conforms.
    std::string loadData(std::string_view identifier) const;

private:
    struct Representation {
        UniformType type;
        Loader loader;
    };
    std::vector<Representation> representations_;
};

// How a value of T travels as bytes of one type: written by `exporting` (which may throw),
// read by `importing` (absent for a form that is only written).
template <typename T> struct DataRepresentation {
    UniformType contentType;
    std::function<std::string(const T &)> exporting;
    std::function<T(const std::string &)> importing;
};

// Nothing that was offered could be read as the value wanted.
class CoderValueNotFoundError : public std::runtime_error {
public:
    static constexpr int code = 4865;
    CoderValueNotFoundError()
        : std::runtime_error("The data couldn't be read because it is missing.") {}
};

} // namespace timecode
