#pragma once

#include "host/update/PluginUpdateCheck.h"

namespace tandrel {

// Where the check that keeps the installed plug-in in step with the host stands: the check's
// own outcome, published by the state object as it comes.
using PluginUpdateState = PluginUpdateCheck::State;

} // namespace tandrel
