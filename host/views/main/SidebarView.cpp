#include "host/views/main/SidebarView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/TextButton.h"
#include "host/views/main/AutoDetectedStatusView.h"
#include "host/views/main/EmptyStateView.h"
#include "host/views/main/LibrariesBar.h"
#include "host/views/main/ProjectStartTCView.h"
#include "host/views/main/TimelineListView.h"

#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

namespace {

// The section rule: the divider colour, inset 12 points at both ends.
QWidget *sectionDivider() {
    return new corvane::CorvaneDivider;
}

} // namespace

SidebarView::SidebarView(AppState &state, Preferences &preferences, LibraryPicker &picker,
                         QWidget *parent)
    : QWidget(parent), state_(state), preferences_(preferences), picker_(picker),
      stack_(new QVBoxLayout(this)) {
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->setSpacing(0);
    for (const auto changed :
         {&AppState::watchedLibrariesChanged, &AppState::availableTimelinesChanged,
          &AppState::activeTimelineIDChanged, &AppState::snapshotWrittenChanged}) {
        connect(&state, changed, this, &SidebarView::refresh);
    }
    refresh();
}

void SidebarView::setShowManualLibraryPicker(bool show) {
    showManualLibraryPicker_ = show;
    refresh();
}

void SidebarView::refresh() {
    const SidebarLayout layout = sidebarLayout(
        !state_.watchedLibraries().empty(), state_.availableTimelines(), state_.activeTimelineID(),
        showManualLibraryPicker_, state_.snapshotWritten());
    // The views under it follow the state object themselves; only another arrangement is
    // built anew.
    if (built_ && layout == layout_) {
        return;
    }
    layout_ = layout;
    built_ = true;
    rebuild();
}

void SidebarView::rebuild() {
    // The lists outlive a change around them (another timeline served, the hide button or the
    // start timecode coming or going): they keep their place, their open cards and the
    // pointer's hover. Any other arrangement makes them anew.
    const bool keepsLists = layout_.main == SidebarLayout::Main::libraryList &&
                            librariesBar_ != nullptr && timelineList_ != nullptr;
    if (keepsLists) {
        librariesBar_->setParent(nullptr);
        timelineList_->setParent(nullptr);
    }
    if (content_ != nullptr) {
        // Taken out at once; deleted later, as the press that asked for this may be its own.
        content_->hide();
        content_->setParent(nullptr);
        content_->deleteLater();
    }
    content_ = new QWidget(this);
    auto *column = new QVBoxLayout(content_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    bool fills = true;
    switch (layout_.main) {
    case SidebarLayout::Main::emptyState:
        column->addWidget(new EmptyStateView(state_, picker_), 1);
        break;
    case SidebarLayout::Main::autoDetected:
        column->addWidget(new AutoDetectedStatusView(*layout_.activeTimeline,
                                                     layout_.cardSaysBurningIn,
                                                     [this] { setShowManualLibraryPicker(true); }));
        fills = false;
        break;
    case SidebarLayout::Main::libraryList:
        if (!keepsLists) {
            librariesBar_ = new LibrariesBar(state_);
            timelineList_ = new TimelineListView(state_, preferences_);
        }
        column->addWidget(librariesBar_);
        column->addWidget(sectionDivider());
        column->addWidget(timelineList_, 1);
        // At once, not on the next turn of the loop: a list shown later would lose its place.
        librariesBar_->show();
        timelineList_->show();
        if (layout_.showsHideLibraryList) {
            column->addWidget(sectionDivider());
            auto *hide = new TextButton(QString::fromUtf8(hideLibraryListTitle));
            corvaneMicro(hide);
            corvaneForeground(hide, Color::corvaneTextSecondary());
            auto *holder = new QWidget;
            auto *inset = new QVBoxLayout(holder);
            inset->setContentsMargins(12, 12, 12, 12);
            inset->addWidget(hide, 0, Qt::AlignLeft);
            connect(hide, &QAbstractButton::clicked, this,
                    [this] { setShowManualLibraryPicker(false); });
            column->addWidget(holder);
        }
        break;
    }
    if (layout_.showsProjectStartTC) {
        column->addWidget(sectionDivider());
        column->addWidget(new ProjectStartTCView(state_));
    }
    if (!fills) {
        column->addStretch(1);
    }
    stack_->addWidget(content_);
}

} // namespace tandrel
