#pragma once

#include "core/snapshot/SnapshotTexts.h"

namespace tandrel {

// What the plug-in keeps of the texts a snapshot holds (names from the editor's libraries,
// preset labels): each as LayoutText lays it out, which is as a snapshot keeps it
// (SnapshotTexts). A snapshot's texts travel to every frame (in the render state, through the
// text resolution), so a text of megabytes, or one character of a hundred thousand marks,
// would cost every frame its size; what a frame draws of a text bounded so stays the same,
// alone or joined to a label or to other texts. A snapshot written by the host holds its texts
// so already; one written otherwise is held so all the same.
struct HeldTexts {
    static void bound(std::string &text) { SnapshotTexts::bound(text); }
    template <typename T> static void boundAll(T &value) { SnapshotTexts::boundAll(value); }
};

} // namespace tandrel
