#pragma once

#include "host/views/PlaceholderView.h"

namespace tandrel {

class AppState;

// The content of the "Settings" window.
//
// Placeholder until its view comes: it names the window and what it will hold.
class SettingsView : public PlaceholderView {
    Q_OBJECT

public:
    explicit SettingsView(AppState &state, QWidget *parent = nullptr);
};

} // namespace tandrel
