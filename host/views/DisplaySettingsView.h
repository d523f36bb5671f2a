#pragma once

#include <QWidget>

#include <functional>

namespace tandrel {

class AppState;

// The main window's content pane, where burn-in presets are designed; it opens the host's
// tool windows by their ids ("positionPreview", "fcpxmlValidation").
//
// Placeholder until the layout editor comes: it names the pane and opens the two tool
// windows.
class DisplaySettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 420;

    DisplaySettingsView(AppState &state, bool isSidebarCollapsed,
                        std::function<void(const QString &id)> openWindow,
                        QWidget *parent = nullptr);

    bool isSidebarCollapsed() const { return isSidebarCollapsed_; }
    // The main window's sidebar was collapsed or shown.
    void setSidebarCollapsed(bool collapsed) { isSidebarCollapsed_ = collapsed; }

private:
    bool isSidebarCollapsed_;
};

} // namespace tandrel
