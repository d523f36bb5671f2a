#pragma once

#include "core/model/ActiveRoleClip.h"

namespace tandrel {

// The clip active for one role, as the plug-in reads it: the host's record, read the same way
// (both names required).
using PluginActiveRoleClip = ActiveRoleClip;

} // namespace tandrel
