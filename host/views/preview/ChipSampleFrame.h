#pragma once

#include "core/model/BurnInElement.h"
#include "plugin/TandrelMetadata.h"

#include <optional>
#include <string>

namespace tandrel {

// The frame a chip shows its element's text on. The preview has no frame under a playhead, so
// it takes a made-up one whose values have the shapes real ones have (timecodes, frame
// numbers, camera file names, a speed change, markers of every kind), and the effect's own
// text rules (BurnInText) turn it into the text the element burns in. The effect's box a chip
// stands on (RenderBox) is then as wide as that text, so that where the chip sits, snaps and
// centres is where the text will.
class ChipSampleFrame {
public:
    // The made-up frame's metadata record.
    static const TandrelMetadata &metadata();

    // The element's text on that frame, as the effect would draw it without stacked layers;
    // nothing when it draws nothing there (the active roles, which only a timeline knows).
    static std::optional<std::string> text(const BurnInElement &element);
};

} // namespace tandrel
