#include "host/views/preview/ChipSampleFrame.h"

#include "plugin/BurnInText.h"

namespace tandrel {

namespace {

TandrelMetadata makeMetadata() {
    TandrelMetadata made;
    made.sourceClipName = "A001C001_250101_ABCD";
    made.sourceFileName = std::string("A001C001_250101_ABCD.mov");
    made.sourceTimecode = "01:00:00:00";
    made.sourceFrameNumber = 86400;
    made.projectTimecode = "01:00:00:00";
    made.frameRate = 24;
    made.reelName = std::string("A001");
    made.scene = std::string("24");
    made.shot = std::string("3");
    made.take = std::string("6");
    made.angle = std::string("Cam A");
    made.notes = std::string("Note");
    made.resolutionWidth = 1920;
    made.resolutionHeight = 1080;
    made.positionX = 120;
    made.positionY = -40;
    made.scaleX = 1.5;
    made.scaleY = 1.5;
    made.speedRate = 0.5;
    made.hasStabilization = true;
    made.markers = std::vector<PluginMarkerInfo>{
        {"Marker 1", "standard", std::nullopt},
        {"To Do 1", "todo", std::nullopt},
        {"Chapter 1", "chapter", "Act One"},
    };
    made.stackedVideoClips = std::vector<std::string>{"B002C002_250101_ABCD"};
    return made;
}

} // namespace

const TandrelMetadata &ChipSampleFrame::metadata() {
    static const TandrelMetadata sample = makeMetadata();
    return sample;
}

std::optional<std::string> ChipSampleFrame::text(const BurnInElement &element) {
    return BurnInText::resolve(element, metadata(), false, std::nullopt);
}

} // namespace tandrel
