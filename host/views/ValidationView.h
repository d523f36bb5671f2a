#pragma once

#include "host/views/PlaceholderView.h"

namespace tandrel {

class AppState;

// The content of the "Validate Against FCPXML" window.
//
// Placeholder until its view comes: it names the window and what it will hold.
class ValidationView : public PlaceholderView {
    Q_OBJECT

public:
    explicit ValidationView(AppState &state, QWidget *parent = nullptr);
};

} // namespace tandrel
