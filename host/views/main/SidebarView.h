#pragma once

#include "host/views/main/SidebarLayout.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QVBoxLayout;

namespace tandrel {

class AppState;
class LibrariesBar;
class LibraryPicker;
class Preferences;
class TimelineListView;

// The left pane of a main window: the invitation while no library is watched, the served
// timeline's card, or the libraries and their timelines; and under them, while a timeline is
// active, the project start timecode field. Which of them shows follows SidebarLayout; the
// window's wish to see the full list while a timeline is served is kept here, per window.
class SidebarView : public QWidget {
    Q_OBJECT

public:
    static constexpr const char *hideLibraryListTitle = "Hide Library List";

    SidebarView(AppState &state, Preferences &preferences, LibraryPicker &picker,
                QWidget *parent = nullptr);

    const SidebarLayout &currentLayout() const { return layout_; }
    void setShowManualLibraryPicker(bool show);

private:
    void refresh();
    void rebuild();

    AppState &state_;
    Preferences &preferences_;
    LibraryPicker &picker_;
    bool showManualLibraryPicker_ = false;
    SidebarLayout layout_;
    bool built_ = false;
    QWidget *content_ = nullptr;
    // The lists while they show, kept from one arrangement of them to the next.
    QPointer<LibrariesBar> librariesBar_;
    QPointer<TimelineListView> timelineList_;
    QVBoxLayout *stack_;
};

} // namespace tandrel
