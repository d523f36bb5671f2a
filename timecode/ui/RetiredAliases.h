#pragma once

// Entry points an earlier version of the library offered. Each forwards to its successor and
// adds nothing; new code uses the successor named in the message.

#include "timecode/core/Timecode.h"
#include "timecode/ui/StyledText.h"

#include <QTextCharFormat>

#include <functional>
#include <optional>

class QWidget;

namespace timecode {

class TimecodeText;

// A TimecodeText of the timecode with the format set on it. The two modifiers are accepted and
// not used: styling comes from timecodeSeparatorStyle, timecodeSubFramesStyle and
// timecodeValidationStyle.
[[deprecated("use TimecodeText with timecodeFormat()")]] TimecodeText *
stringValueValidatedText(const Timecode &timecode, Timecode::StringFormat format,
                         const std::function<StyledText(StyledText)> &invalidModifiers,
                         const std::function<StyledText(StyledText)> &defaultModifiers,
                         QWidget *parent = nullptr);

// nsAttributedString with the default and invalid formats and no separator or sub-frames
// format.
[[deprecated("use nsAttributedString()")]] StyledText
stringValueValidated(const Timecode &timecode, Timecode::StringFormat format,
                     const std::optional<QTextCharFormat> &invalidAttributes,
                     const std::optional<QTextCharFormat> &defaultAttributes);

} // namespace timecode
