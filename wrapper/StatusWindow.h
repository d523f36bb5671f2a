#pragma once

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

namespace tandrel {

// The wrapper's one window: the result of its installation, centred in a small titled window
// that can only be closed.
struct StatusWindow {
    // The result text. Installed: the note that the effect is available. Not installed:
    // "Could not install the Motion template." and, after a blank line, the detail or
    // "Unknown error".
    static std::string text(bool templateInstalled, const std::optional<std::string> &errorDetail);

    // The window for that result, titled "Embrik", 360 × 140 (taller only when a long detail
    // needs the room), the text (a QTextEdit named "statusText", read-only) wrapped at 300,
    // also inside long words, and centred, shown as plain text. Not shown yet.
    static std::unique_ptr<QWidget> make(bool templateInstalled,
                                         const std::optional<std::string> &errorDetail);
};

} // namespace tandrel
