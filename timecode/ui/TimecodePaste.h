#pragma once

#include "timecode/core/AsyncResult.h"
#include "timecode/core/ItemProvider.h"
#include "timecode/core/Timecode.h"

#include <QMimeData>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace timecode {

// What a paste yields: the timecode, or the reason none could be read.
using TimecodePasteResult = AsyncResult<Timecode>;

// Where a pasted timecode goes. A copy keeps the handler alive.
struct TimecodePasteAction {
    std::function<void(const TimecodePasteResult &)> action;
};

// The library's own clipboard type: one timecode as JSON, read before plain text.
inline constexpr char timecodeMimeType[] = "com.varnell.timecode";

// The clipboard the paste command reads. A seam: tests install their own and get the previous
// reader back; an empty reader restores the system clipboard.
using TimecodeClipboardReader = std::function<const QMimeData *()>;
TimecodeClipboardReader setTimecodeClipboardReader(TimecodeClipboardReader reader);
const QMimeData *readTimecodeClipboard();

// Clipboard contents as the core's paste import reads them: one item holding the timecode
// type and the text where present; nothing for no or empty contents.
std::vector<ItemProvider> timecodeItemProviders(const QMimeData *mimeData);
// The copy form: the timecode type, then the text in the format.
std::unique_ptr<QMimeData> timecodeMimeData(const Timecode &timecode,
                                            Timecode::StringFormat stringFormat);

// Registers the view for paste (Ctrl+V, or the platform's paste keys) while it has focus. On a
// paste, a task queued on the event loop evaluates the target; without one it ends there and
// the clipboard is not read. Otherwise it reads the clipboard: the timecode type gives its
// timecode whole, with the properties it was copied with; text is parsed at
// `propertiesForString` (read at paste time), invalid values kept. The target is called once,
// with the timecode or the failure. Answers the view.
QWidget *onPasteCommandOfTimecode(QWidget *view,
                                  std::function<Timecode::Properties()> propertiesForString,
                                  std::function<std::optional<TimecodePasteAction>()> forwardTo);
QWidget *onPasteCommandOfTimecode(QWidget *view, const Timecode::Properties &propertiesForString,
                                  std::function<std::optional<TimecodePasteAction>()> forwardTo);

} // namespace timecode
