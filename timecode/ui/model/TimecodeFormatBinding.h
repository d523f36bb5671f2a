#pragma once

#include "timecode/core/TimecodeStringFormat.h"
#include "timecode/ui/model/Binding.h"

namespace timecode {

// A Boolean binding over one option of a format set: true while the set holds the option.
// Writing reads the set, inserts or removes the option and writes the whole set back, also when
// nothing changed, so the set's own observers always hear of the write.
inline Binding<bool> option(const Binding<TimecodeStringFormat> &format,
                            TimecodeStringFormatOption option) {
    return format.projecting<bool>(
        [option](const TimecodeStringFormat &set) { return set.contains(option); },
        [option](TimecodeStringFormat &set, const bool &on) {
            on ? set.insert(option) : set.remove(option);
        });
}

} // namespace timecode
