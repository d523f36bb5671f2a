#pragma once

#include <QSize>

#include <optional>

class QWidget;

namespace corvane {

// The window `widget` is in: its top-level widget. A widget that is its own window counts
// only once the platform has made a window for it (it has been shown); one built off screen
// and never shown is in no window, and the answer is nullptr.
QWidget *hostingWindow(QWidget *widget);

// Makes the window that `widget` is in a glass window: on a later turn of the event loop,
// never at once, the window loses the system's frame (title bar and its buttons) and gets a
// transparent background, so that the kit's materials and the traffic lights take their
// place; with `minSize`, it also cannot be made smaller than that. A widget in no window
// (hostingWindow) is left alone. It acts once per call and is never undone.
//
// The window still moves and resizes: a press on a point of its top 28 points that no
// widget takes moves it, and a press within 6 points of an edge resizes it from that edge,
// under the matching pointer shape, through the window manager where it offers that and by
// hand where it does not.
void corvaneTransparentWindow(QWidget *widget, std::optional<QSize> minSize = std::nullopt);

} // namespace corvane
