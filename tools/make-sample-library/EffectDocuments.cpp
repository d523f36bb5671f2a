#include "tools/make-sample-library/EffectDocuments.h"

#include <charconv>
#include <system_error>

namespace tandrel::sample {

namespace {

constexpr const char *declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The shortest text that reads back as the same double.
std::string number(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string curve(const std::string &name, double value) {
    return "<parameter name=\"" + name + "\" id=\"1\" flags=\"0\"><curve type=\"1\" value=\"" +
           number(value) + "\"/></parameter>";
}

std::string group(const std::string &name, const std::string &contents) {
    return "<parameter name=\"" + name + "\" id=\"2\" flags=\"0\">" + contents + "</parameter>";
}

} // namespace

std::string EffectDocuments::retime(const Retime &retime,
                                    const std::vector<TimeMapPoint> &timeMap) {
    std::string keypoints;
    for (const auto &point : timeMap) {
        keypoints += "\n      <keypoint interpolation=\"1\" flags=\"0\"><time>" +
                     std::to_string(point.value) + " " + std::to_string(point.timescale) +
                     " 1 0</time><value>" + number(point.sourceSeconds) +
                     "</value><inputTangentValue>0</inputTangentValue>"
                     "<outputTangentValue>0</outputTangentValue></keypoint>";
    }
    std::string document = declaration;
    document += "<scene>\n <parameter name=\"Retiming\" id=\"10000\" flags=\"0\">\n  ";
    document += curve("Speed", retime.speedPercent) + "\n  ";
    document += curve("Reverse", retime.reversed ? 1 : 0) + "\n  ";
    document += curve("Frame Sampling", retime.frameSampling) + "\n  ";
    document += "<parameter name=\"Time Map\" id=\"4\" flags=\"0\">\n    <curve type=\"1\">" +
                keypoints + "\n    </curve>\n  </parameter>\n";
    document += " </parameter>\n</scene>\n";
    return document;
}

std::string EffectDocuments::transform(const Transform &t) {
    std::string document = declaration;
    document += "<scene>\n";
    document += group(
        "Transform", group("Position", curve("X", t.positionX) + curve("Y", t.positionY) +
                                           curve("Z", t.positionZ)) +
                         group("Rotation", curve("X", 0) + curve("Y", 0) + curve("Z", t.rotation)) +
                         group("Scale", curve("Scale X", t.scaleX) + curve("Scale Y", t.scaleY)) +
                         group("Anchor", curve("X", t.anchorX) + curve("Y", t.anchorY)));
    document += "\n</scene>\n";
    return document;
}

std::string EffectDocuments::stabilization() {
    return std::string(declaration) + "<scene>" +
           group("Stabilization", curve("Method", 0) + curve("Smoothing", 1.5)) + "</scene>\n";
}

std::vector<std::string> EffectDocuments::hostile() {
    const std::string speed = "<parameter name=\"Speed\"><curve value=\"50\"/></parameter>";
    const std::string entity = "<!DOCTYPE scene [<!ENTITY e \"x\">]>";
    std::vector<std::string> documents = {
        // Declarations the prolog guard sees.
        std::string(declaration) + entity + "<scene>" + speed + "</scene>",
        "<!DOCTYPE lol [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
        "<scene><parameter name=\"&b;\"/></scene>",
        // A comment that ends the guard's prolog early.
        "<!-- <scene> -->" + entity + "<scene>" + speed + "</scene>",
        // An external DTD and an external entity.
        "<!DOCTYPE scene SYSTEM \"file:///etc/passwd\"><scene>" + speed + "</scene>",
        "<!DOCTYPE scene [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><scene>&x;</scene>",
        "<!DOCTYPE scene [<!ENTITY % p SYSTEM \"file:///etc/hostname\"> %p;]><scene/>",
        // Declarations inside the root element are no prolog.
        "<scene>" + entity + speed + "</scene>",
        // Document types without entities: only the bare one is read. A default of the
        // attribute list would give the curve a value it never wrote.
        "<!DOCTYPE scene><scene>" + speed + "</scene>",
        "<!DOCTYPE scene [<!ATTLIST curve value CDATA \"50\">]>"
        "<scene><parameter name=\"Speed\"><curve/></parameter></scene>",
        "<!DOCTYPE scene [<!ELEMENT scene ANY><!ELEMENT parameter (curve)*>]><scene>" + speed +
            "</scene>",
        "<!DOCTYPE scene [<!NOTATION n SYSTEM \"n\">]><scene>" + speed + "</scene>",
        "<?xml version=\"1.0\" standalone=\"no\"?><!DOCTYPE scene [%p;]><scene>" + speed +
            "</scene>",
        "<!DOCTYPE scene PUBLIC \"-//X//DTD Scene//EN\" \"scene.dtd\"><scene>" + speed + "</scene>",
        // Numbers a reader must not carry on.
        "<scene><parameter name=\"Speed\"><curve value=\"nan\"/></parameter>"
        "<parameter name=\"Frame Sampling\"><curve value=\"1e999\"/></parameter>"
        "<parameter name=\"Transform\"><parameter name=\"Scale\"><parameter name=\"Scale X\">"
        "<curve value=\"-inf\"/></parameter></parameter></parameter>"
        "<keypoint><time>1e308 1e-308</time><value>inf</value></keypoint>"
        "<keypoint><time>1 0</time><value>2</value></keypoint>"
        "<keypoint><time> 0x1p3 24 </time><value> 0x1.8p1 </value></keypoint></scene>",
        // Malformed: the reader keeps what it saw before the error.
        "<scene><parameter name=\"Speed\"><curve value=\"25\"/></parameter><parameter",
    };
    std::string deep;
    for (int i = 0; i < 2000; ++i) {
        deep += "<parameter name=\"Position\">";
    }
    documents.push_back(deep + "<curve value=\"1\"/>");
    // UTF-16 (little-endian, with its byte-order mark) of an entity declaration.
    const std::string ascii = entity + "<scene/>";
    std::string utf16 = "\xFF\xFE";
    for (char c : ascii) {
        utf16 += c;
        utf16 += '\0';
    }
    documents.push_back(utf16);
    return documents;
}

} // namespace tandrel::sample
