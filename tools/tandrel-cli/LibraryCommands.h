#pragma once

#include "tools/tandrel-cli/CommandLine.h"

namespace tandrel::cli {

// tandrel-cli scan LIBRARY: the events and timelines the scan finds, with their edit counts.
int scanCommand(const Arguments &arguments);
// tandrel-cli edl LIBRARY TIMELINE: the resolved edit list with its display segments, as JSON.
int edlCommand(const Arguments &arguments);
// tandrel-cli snapshot LIBRARY TIMELINE [--preset NAME]: writes the snapshot file as the host
// does.
int snapshotCommand(const Arguments &arguments);

} // namespace tandrel::cli
