#pragma once

#include <string_view>

namespace platform {

// Base of every interface object a host hands out through its API manager.
class FxAPIObject {
public:
    virtual ~FxAPIObject() = default;
};

// A host's API manager: the object that gives an effect the host's interfaces by name.
class PROAPIAccessing {
public:
    virtual ~PROAPIAccessing() = default;

    // The host's object for the interface of that name, or null when the host does not give
    // it. The host owns the object; it lives as long as the manager. The object may be of
    // another kind than the name says: callers check (apiFor does).
    virtual FxAPIObject *apiForProtocol(std::string_view protocolName) = 0;
};

// The host's interface `API` (one of the Fx…API classes, which name themselves), or null when
// the host gives none or gives an object of another kind.
template <typename API> API *apiFor(PROAPIAccessing &manager) {
    return dynamic_cast<API *>(manager.apiForProtocol(API::protocolName));
}

} // namespace platform
