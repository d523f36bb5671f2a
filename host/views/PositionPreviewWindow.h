#pragma once

#include "host/views/PlaceholderView.h"

namespace tandrel {

class AppState;

// The content of the "Position Preview" window.
//
// Placeholder until its view comes: it names the window and what it will hold.
class PositionPreviewWindow : public PlaceholderView {
    Q_OBJECT

public:
    explicit PositionPreviewWindow(AppState &state, QWidget *parent = nullptr);
};

} // namespace tandrel
