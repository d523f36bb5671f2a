#include "timecode/ui/RetiredAliases.h"

#include "timecode/ui/TimecodeEnvironment.h"
#include "timecode/ui/TimecodeStyledText.h"
#include "timecode/ui/TimecodeText.h"

namespace timecode {

TimecodeText *stringValueValidatedText(const Timecode &timecode, Timecode::StringFormat format,
                                       const std::function<StyledText(StyledText)> &,
                                       const std::function<StyledText(StyledText)> &,
                                       QWidget *parent) {
    auto *view = new TimecodeText(timecode, parent);
    timecodeFormat(view, format);
    return view;
}

StyledText stringValueValidated(const Timecode &timecode, Timecode::StringFormat format,
                                const std::optional<QTextCharFormat> &invalidAttributes,
                                const std::optional<QTextCharFormat> &defaultAttributes) {
    return nsAttributedString(timecode, format, defaultAttributes, std::nullopt, std::nullopt,
                              invalidAttributes);
}

} // namespace timecode
