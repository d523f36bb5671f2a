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
class QVBoxLayout;

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

    // Whether the sidebar is off screen. A window too narrow for the sidebar beside the
    // layout editor's centre column and its open panels (SidebarFit) lets the sidebar float
    // over the editor: it puts the sidebar away when it becomes that narrow, and the toggle
    // then brings it over the editor and takes it away again. Wide enough, the sidebar
    // takes its place in the row again, shown or collapsed as the user last left it there,
    // and shown when the user last brought it over the editor.
    bool isSidebarCollapsed() const;
    void setSidebarCollapsed(bool collapsed, bool animated = false);
    bool isSidebarFloating() const { return sidebarFloats_; }

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
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QWidget *makeHeaderRow();
    void describeSidebarToggle();
    // Docks the sidebar or lets it float, as the window's width and the open panels allow.
    void fitSidebar(bool animated);
    void showSidebar(bool animated);
    // Keeps the editor's header clear of the header row beside a narrow sidebar.
    void clearHeaderRow();
    void applyAppearance();
    void showUpdateState();

    Environment environment_;
    MainWindowAppearance appearance_;
    // The user's choice for the sidebar in its place in the row.
    bool isSidebarCollapsed_ = false;
    bool sidebarFloats_ = false;
    // The user's choice for the floating sidebar; it starts put away.
    bool floatingSidebarShown_ = false;
    bool shown_ = false;
    corvane::CorvaneSplitShell *shell_ = nullptr;
    SidebarView *sidebar_ = nullptr;
    DisplaySettingsView *displaySettings_ = nullptr;
    QWidget *headerRow_ = nullptr;
    QAbstractButton *sidebarToggle_ = nullptr;
    QAbstractButton *addLibrary_ = nullptr;
    QMenuBar *menuBar_ = nullptr;
    QVBoxLayout *editorLayout_ = nullptr;
    class BandView *band_;
    QWidget *bannerSection_;
    PluginVersionWarningBanner *banner_;
    StatusBarView *statusBar_;
    QPointer<FeedbackSheet> feedbackSheet_;
};

} // namespace tandrel
