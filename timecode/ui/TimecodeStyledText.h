#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/ui/ShapeStyle.h"
#include "timecode/ui/StyledText.h"

#include <QTextCharFormat>

#include <optional>

namespace timecode {

// The styled forms of a timecode: its text in pieces (days, hours, minutes, seconds, frames,
// sub-frames and the separators between them), each in its own style. Days appear when not 0
// or always shown; frames have three digits from 119.88 on; sub-frames appear when shown, with
// one digit in quarter frames. A component outside its valid range at the timecode's own
// properties is drawn in the validation style.

// As the timecode views draw it: separators in their style ("-" for ":" and ";" with the
// file-name option, the day separator staying a space), sub-frames in theirs and at their
// scale, invalid components in the validation style (sub-frames too, still at their scale),
// and every digit monospaced. A missing style leaves its pieces without a colour of their own.
StyledText text(const Timecode &timecode, Timecode::StringFormat format, ShapeStyle separatorStyle,
                ShapeStyle subFramesStyle, TextScale subFramesScale, ShapeStyle validationStyle);

// The same pieces and colours without the scale and the monospaced digits.
StyledText attributedString(const Timecode &timecode, Timecode::StringFormat format,
                            ShapeStyle separatorStyle, ShapeStyle subFramesStyle,
                            ShapeStyle validationStyle);

// The form for text fields, in character formats: every piece in the default format, with the
// invalid format merged over an invalid component's piece; separators in their own format when
// given; sub-frames in the invalid format when invalid, else in their own when given. The
// file-name option does not apply here.
StyledText nsAttributedString(const Timecode &timecode, Timecode::StringFormat format,
                              const std::optional<QTextCharFormat> &defaultAttributes,
                              const std::optional<QTextCharFormat> &separatorAttributes,
                              const std::optional<QTextCharFormat> &subFramesAttributes,
                              const std::optional<QTextCharFormat> &invalidAttributes);

} // namespace timecode
