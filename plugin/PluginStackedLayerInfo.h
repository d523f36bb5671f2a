#pragma once

#include "core/model/StackedLayerInfo.h"

namespace tandrel {

// A stacked video layer as the plug-in reads it: the host's record, read the same way (lane
// required, everything else optional). The bounds its timing fields must keep are checked by
// the metadata record that holds it (TandrelMetadata).
using PluginStackedLayerInfo = StackedLayerInfo;

} // namespace tandrel
