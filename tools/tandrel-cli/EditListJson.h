#pragma once

#include "core/resolver/EditDecisionList.h"
#include "core/support/Json.h"

#include <functional>
#include <string>

namespace tandrel::cli {

// The JSON form of a resolved edit decision list that `tandrel-cli edl` prints: every field
// of every entry (absent ones left out), its display segments, and the entry's event database
// as `relativePath` gives it. Rates are their timecode rate texts ("23.976", "29.97d").
Json editListJson(const EditDecisionList &list,
                  const std::function<std::string(const std::string &)> &relativePath);

} // namespace tandrel::cli
