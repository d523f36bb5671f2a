// The timecode views' screens: the timecode library builds its own demo pages.
#include "timecode/ui/demo/TimecodeDemoPages.h"
#include "tools/tandrel-screens/ScreenRegistry.h"

namespace {

using tandrel::screens::ScreenContext;
using tandrel::screens::ScreenRegistry;

const bool registered = [] {
    for (const timecode::TimecodeDemoPage &page : timecode::timecodeDemoPages()) {
        ScreenRegistry::shared().add(
            {page.name, page.size, [build = page.build](const ScreenContext &) { return build(); }});
    }
    return true;
}();

} // namespace
