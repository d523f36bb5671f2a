#include "host/feedback/FeedbackPayload.h"

#include "core/support/Base64.h"
#include "core/support/JsonReader.h"

namespace tandrel {

namespace {

constexpr const char *screenshotKey = "screenshotPNG";
constexpr const char *emailKey = "submitterEmail";

} // namespace

void to_json(Json &json, const FeedbackPayload &payload) {
    Json object = Json::object();
    object["text"] = payload.text;
    object["userName"] = payload.userName;
    object["appVersion"] = payload.appVersion;
    object["osVersion"] = payload.osVersion;
    object["appModule"] = payload.appModule;
    object["diagnose"] = payload.diagnose;
    if (payload.screenshotPNG) {
        object[screenshotKey] = base64Encoded(*payload.screenshotPNG);
    }
    if (payload.submitterEmail) {
        object[emailKey] = *payload.submitterEmail;
    }
    json = std::move(object);
}

void from_json(const Json &json, FeedbackPayload &payload) {
    const JsonReader reader(json, "Payload");
    FeedbackPayload read;
    read.text = reader.required<std::string>("text");
    read.userName = reader.required<std::string>("userName");
    read.appVersion = reader.required<std::string>("appVersion");
    read.osVersion = reader.required<std::string>("osVersion");
    read.appModule = reader.required<std::string>("appModule");
    read.diagnose = reader.required<std::string>("diagnose");
    if (const auto encoded = reader.optional<std::string>(screenshotKey)) {
        read.screenshotPNG = base64Decoded(*encoded);
        if (!read.screenshotPNG) {
            throw DecodingError(DecodingError::Kind::dataCorrupted,
                                "Encountered Data is not valid Base64.", screenshotKey);
        }
    }
    read.submitterEmail = reader.optional<std::string>(emailKey);
    payload = std::move(read);
}

} // namespace tandrel
