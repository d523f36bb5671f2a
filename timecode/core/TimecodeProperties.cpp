#include "timecode/core/TimecodeProperties.h"

namespace timecode {

void to_json(Json &json, const TimecodeProperties &properties) {
    json = Json::object();
    json["frameRate"] = properties.frameRate;
    json["subFramesBase"] = properties.subFramesBase;
    json["upperLimit"] = properties.upperLimit;
}

} // namespace timecode

timecode::TimecodeProperties
nlohmann::adl_serializer<timecode::TimecodeProperties>::from_json(const timecode::Json &json) {
    using namespace timecode;
    return TimecodeProperties(
        decodeRawValue<TimecodeFrameRate>(decodeRequired(json, "frameRate")),
        decodeRawValue<TimecodeSubFramesBase>(decodeRequired(json, "subFramesBase")),
        decodeRawValue<TimecodeUpperLimit>(decodeRequired(json, "upperLimit")));
}
