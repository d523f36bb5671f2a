#pragma once

#include "core/support/Bytes.h"
#include "core/support/Json.h"

#include <optional>
#include <string>

namespace tandrel {

// One feedback record, as the feedback service posts it and its retry queue keeps it.
//
// Stored form (the retry queue's file): an object with the six texts always present under the
// field names, "screenshotPNG" as standard Base64 only when a screenshot is attached (also an
// empty one) and "submitterEmail" only when an address is given. Reading requires the six
// texts, takes a missing or null screenshot or address as none and ignores other members.
// The wire names of a post ("user_name", ...) belong to the service, not to this form.
struct FeedbackPayload {
    std::string text;
    std::string userName;
    std::string appVersion;
    std::string osVersion;
    std::string appModule;
    std::string diagnose;
    std::optional<Bytes> screenshotPNG;
    std::optional<std::string> submitterEmail;

    friend bool operator==(const FeedbackPayload &, const FeedbackPayload &) = default;
};

void to_json(Json &json, const FeedbackPayload &payload);
void from_json(const Json &json, FeedbackPayload &payload);

} // namespace tandrel
