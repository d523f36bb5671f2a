#pragma once

#include "host/views/common/MainWindowAppearance.h"
#include "host/views/main/PluginVersionWarningBanner.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Timer.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QAbstractButton;
class QMenuBar;

namespace corvane {
class CorvaneSplitShell;
}

namespace tandrel {

class AppState;
class DisplaySettingsView;
class FeedbackSheet;
class HostNotifications;
class LibraryPicker;
class Preferences;
class SidebarView;
class StatusBarView;

// The root of every main window, and the window itself: a glass window without the system's
// frame, holding the two-pane shell (sidebar, layout editor pane) with a row of header
// controls and the host's menu bar over its top-left corner, then the plug-in update banner
// while the update check has something to say, and the status bar. It starts the state object
// when it comes on screen, adds editor libraries dropped anywhere on it, and presents the
// feedback sheet when the host asks every main window to.
class ContentView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 760;
    static constexpr int minimumHeight = 560;
    // A new window's size: room for the sidebar, the layout editor's column and its panels.
    static constexpr int defaultWidth = 1240;
    static constexpr int defaultHeight = 800;
    static constexpr const char *hideSidebarTitle = "Hide Sidebar";
    static constexpr const char *showSidebarTitle = "Show Sidebar";
    static constexpr const char *addLibraryTitle = "Add Library...";

    // What a main window works with; the host hands the same objects to every window.
    struct Environment {
        AppState *state = nullptr;
        Preferences *preferences = nullptr;
        HostNotifications *notifications = nullptr;
        LibraryPicker *libraryPicker = nullptr;
        PluginVersionWarningBanner::Links bannerLinks;
        // The status bar's sense of time.
        std::shared_ptr<const platform::Clock> clock;
        platform::TimerFactory timers;
        // Puts the host's commands into the window's menu bar.
        std::function<void(QMenuBar *)> fillMenuBar;
        // Opens one of the host's tool windows by its id.
        std::function<void(const QString &id)> openWindow;
    };

    explicit ContentView(Environment environment, QWidget *parent = nullptr);
    ~ContentView() override;

    AppState &state() const { return *environment_.state; }
    const MainWindowAppearance &appearance() const { return appearance_; }

    bool isSidebarCollapsed() const { return isSidebarCollapsed_; }
    void setSidebarCollapsed(bool collapsed, bool animated = false);

    // Presents the feedback sheet, when the window is on screen and shows none yet.
    void presentFeedbackSheet();
    FeedbackSheet *feedbackSheet() const;

    corvane::CorvaneSplitShell *shell() const { return shell_; }
    SidebarView *sidebar() const { return sidebar_; }
    DisplaySettingsView *displaySettings() const { return displaySettings_; }
    QWidget *headerRow() const { return headerRow_; }
    QAbstractButton *sidebarToggle() const { return sidebarToggle_; }
    QAbstractButton *addLibraryButton() const { return addLibrary_; }
    QMenuBar *menuBar() const { return menuBar_; }
    // The banner with its rule, shown while the update check is anything but up to date.
    bool showsUpdateBanner() const;
    PluginVersionWarningBanner *updateBanner() const { return banner_; }
    StatusBarView *statusBar() const { return statusBar_; }

protected:
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QWidget *makeHeaderRow();
    void describeSidebarToggle();
    void applyAppearance();
    void showUpdateState();

    Environment environment_;
    MainWindowAppearance appearance_;
    bool isSidebarCollapsed_ = false;
    bool shown_ = false;
    corvane::CorvaneSplitShell *shell_ = nullptr;
    SidebarView *sidebar_ = nullptr;
    DisplaySettingsView *displaySettings_ = nullptr;
    QWidget *headerRow_ = nullptr;
    QAbstractButton *sidebarToggle_ = nullptr;
    QAbstractButton *addLibrary_ = nullptr;
    QMenuBar *menuBar_ = nullptr;
    class BandView *band_;
    QWidget *bannerSection_;
    PluginVersionWarningBanner *banner_;
    StatusBarView *statusBar_;
    QPointer<FeedbackSheet> feedbackSheet_;
};

} // namespace tandrel
