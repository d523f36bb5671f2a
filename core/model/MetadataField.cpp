#include "core/model/MetadataField.h"

namespace tandrel {

namespace {

struct FieldTexts {
    std::string_view displayName;
    std::string_view defaultLabel;
};

// Indexed by MetadataField::Case.
constexpr std::array<FieldTexts, MetadataField::caseCount> texts{{
    {"Source TC", "TC:"},
    {"Project TC", "Proj:"},
    {"Clip Name", ""},
    {"Source File", "File:"},
    {"Reel", "Reel:"},
    {"Scene / Shot", "Scene:"},
    {"Speed / Retime", "Speed:"},
    {"Notes", "Notes:"},
    {"Angle", "Angle:"},
    {"Resolution", ""},
    {"Marker (Note or Name)", ""},
    {"Resize / Transform", "Resize:"},
    {"Stacked Video Clips", "Stacked:"},
    {"Role Text", ""},
    {"Custom Text", ""},
    {"Marker Name", ""},
    {"Marker Note", "Note:"},
    {"Marker Name + Note", ""},
    {"Source Frame", "Src Fm:"},
    {"Stacked Layers \u2014 Reel/File + Frame # Block", "REEL"},
    {"Stacked Layers \u2014 Slate/Timecode Block", "SLATE"},
    {"Stabilization", ""},
    {"Position / Rotation", "Pos:"},
}};

} // namespace

std::string_view MetadataField::displayName() const {
    return texts[value()].displayName;
}

std::string_view MetadataField::defaultLabel() const {
    return texts[value()].defaultLabel;
}

} // namespace tandrel
