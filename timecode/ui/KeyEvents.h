#pragma once

#include "timecode/ui/model/KeyEquivalent.h"

#include <QKeyEvent>

#include <optional>

namespace timecode {

// The key a key event stands for: the named keys by their key code (both return keys are
// return, both tab keys are tab), any other key by the first character it types, so that the
// U+007F and U+0003 some keyboards send arrive as such. Nothing for a key that types nothing
// (a lone modifier).
std::optional<KeyEquivalent> keyEquivalent(const QKeyEvent &event);

} // namespace timecode
