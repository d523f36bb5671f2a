#include "plugin/PluginSnapshotEntry.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"
#include "plugin/SnapshotLimits.h"

namespace tandrel {

namespace {

void checkKeypoints(const std::vector<SnapshotTimeMapKeypoint> &keypoints) {
    for (std::size_t i = 0; i < keypoints.size(); ++i) {
        SnapshotLimits::underIndex(i, [&] {
            SnapshotLimits::under("timelineSeconds", [&] {
                SnapshotLimits::checkSeconds(keypoints[i].timelineSeconds);
            });
            SnapshotLimits::under(
                "sourceSeconds", [&] { SnapshotLimits::checkSeconds(keypoints[i].sourceSeconds); });
        });
    }
}

} // namespace

void to_json(Json &json, const PluginSnapshotEntry &entry) {
    json = JsonWriter::record(entry);
}

void from_json(const Json &json, PluginSnapshotEntry &entry) {
    PluginSnapshotEntry::forEachMember(entry, JsonReader(json, "SnapshotEntry"));
    SnapshotLimits::under("tlStart", [&] { SnapshotLimits::checkTime(entry.tlStart); });
    SnapshotLimits::under("tlEnd", [&] { SnapshotLimits::checkTime(entry.tlEnd); });
    SnapshotLimits::under("srcStartFrame",
                          [&] { SnapshotLimits::checkSourceFrame(entry.srcStartFrame); });
    SnapshotLimits::under("srcSpeed", [&] { SnapshotLimits::checkSpeed(entry.srcSpeed); });
    SnapshotLimits::under("srcFpsNum", [&] {
        SnapshotLimits::checkFramesPerSecond(entry.srcFpsNum, entry.srcFpsDen);
    });
    if (entry.srcTimeMapKeypoints) {
        SnapshotLimits::under("srcTimeMapKeypoints",
                              [&] { checkKeypoints(*entry.srcTimeMapKeypoints); });
    }
}

} // namespace tandrel
