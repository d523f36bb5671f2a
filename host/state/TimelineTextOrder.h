#pragma once

#include "host/query/QueryResolver.h"

namespace tandrel {

// The order of the timeline list: the texts compared as the user's locale sorts them, without
// regard to case (QCollator). For the main thread, where the list is sorted.
QueryResolver::TextOrder timelineTextOrder();

} // namespace tandrel
