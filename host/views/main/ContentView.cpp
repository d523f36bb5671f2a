#include "host/views/main/ContentView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvaneSplitShell.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/CorvaneTrafficLights.h"
#include "designkit/CorvaneTransparentWindow.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "designkit/SplitShellGeometry.h"
#include "host/state/AppState.h"
#include "host/views/common/Preferences.h"
#include "host/views/feedback/FeedbackSheet.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/main/DetectFromFCPButton.h"
#include "host/views/main/HostNotifications.h"
#include "host/views/main/LibraryDrop.h"
#include "host/views/main/LibraryPicker.h"
#include "host/views/main/SidebarFit.h"
#include "host/views/main/SidebarView.h"
#include "host/views/main/StatusBarView.h"
#include "platform/runtime/MainQueue.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace tandrel {

using namespace corvane;

namespace {

// Where the header row lies over the shell's top-left corner.
constexpr QPoint headerOrigin(24, 16);
// The sidebar's room above its content for the header row.
constexpr int sidebarTopInset = 40;
// Between the header row and what lies beside it.
constexpr int headerGap = 12;

// The shell, with the header row lying over its top-left corner.
class ShellArea : public QWidget {
public:
    ShellArea(CorvaneSplitShell *shell, QWidget *header) : shell_(shell), header_(header) {
        shell->setParent(this);
        header->setParent(this);
        header->raise();
    }

    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    void resizeEvent(QResizeEvent *) override {
        shell_->setGeometry(rect());
        const QSize header = header_->sizeHint();
        header_->setGeometry(
            QRect(headerOrigin,
                  QSize(std::min(header.width(), width() - headerOrigin.x()), header.height())));
    }

private:
    CorvaneSplitShell *shell_;
    QWidget *header_;
};

} // namespace

// Behind the update banner and the status bar: the base colour at the window's darkness.
class BandView : public QWidget {
public:
    void setColor(const QColor &color) {
        color_ = color;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), color_); }

private:
    QColor color_;
};

ContentView::ContentView(Environment environment, QWidget *parent)
    : QWidget(parent), environment_(std::move(environment)), band_(new BandView),
      bannerSection_(new QWidget), banner_(new PluginVersionWarningBanner(
                                       state().pluginUpdateState(), environment_.bannerLinks)),
      statusBar_(new StatusBarView(state(), environment_.clock, environment_.timers)) {
    setWindowTitle(QStringLiteral("Embrik Host"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    setMinimumSize(minimumWidth, minimumHeight);
    resize(defaultWidth, defaultHeight);
    // A glass window from the start, so that the kit need not make the window again once it
    // is on screen.
    setWindowFlag(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    auto *sidebarColumn = new QWidget;
    auto *sidebarLayout = new QVBoxLayout(sidebarColumn);
    sidebarLayout->setContentsMargins(0, sidebarTopInset, 0, 0);
    sidebarLayout->setSpacing(0);
    sidebar_ = new SidebarView(state(), *environment_.preferences, *environment_.libraryPicker);
    sidebarLayout->addWidget(sidebar_);
    displaySettings_ =
        new DisplaySettingsView(state(), isSidebarCollapsed_, environment_.openWindow);
    // Where the sidebar floats the window is too narrow for the editor's header beside the
    // header row: the editor then starts under it.
    auto *editorArea = new QWidget;
    editorLayout_ = new QVBoxLayout(editorArea);
    editorLayout_->setContentsMargins(0, 0, 0, 0);
    editorLayout_->addWidget(displaySettings_);

    appearance_ = MainWindowAppearance::from(environment_.preferences->appearance());
    shell_ =
        new CorvaneSplitShell({.isSidebarCollapsed = isSidebarCollapsed_,
                               .baseColor = appearance_.baseColor,
                               .baseOpacity = appearance_.baseOpacity,
                               .sidebarCardColor = appearance_.sidebarCardColor,
                               .sidebarCardOpacity = appearance_.sidebarCardOpacity,
                               .minSidebarWidth = 220,
                               .idealSidebarWidth = 300,
                               .maxSidebarWidth = 400,
                               .persistenceKey = QString::fromUtf8(Preferences::sidebarWidthKey),
                               .userDefaults = environment_.preferences->userDefaults(),
                               .sidebar = sidebarColumn,
                               .content = editorArea});

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(new ShellArea(shell_, makeHeaderRow()), 1);
    // With the sidebar collapsed the editor's header starts under the header row: it moves
    // clear of it.
    displaySettings_->setCollapsedHeaderInset(headerOrigin.x() + headerRow_->sizeHint().width() +
                                              headerGap - DisplaySettingsView::columnPadding);
    clearHeaderRow();

    auto *bandLayout = new QVBoxLayout(band_);
    bandLayout->setContentsMargins(0, 0, 0, 0);
    bandLayout->setSpacing(0);
    bandLayout->addWidget(new corvane::CorvaneDivider(0));
    auto *bannerLayout = new QVBoxLayout(bannerSection_);
    bannerLayout->setContentsMargins(0, 0, 0, 0);
    bannerLayout->setSpacing(0);
    bannerLayout->addWidget(banner_);
    bannerLayout->addWidget(new corvane::CorvaneDivider(0));
    bandLayout->addWidget(bannerSection_);
    bandLayout->addWidget(statusBar_);
    root->addWidget(band_);

    applyAppearance();
    showUpdateState();
    connect(environment_.preferences, &Preferences::changed, this, &ContentView::applyAppearance);
    connect(&state(), &AppState::pluginUpdateStateChanged, this, &ContentView::showUpdateState);
    connect(environment_.notifications, &HostNotifications::showFeedbackSheet, this,
            &ContentView::presentFeedbackSheet);
    // The room the editor needs changes with the window and with its panels.
    shell_->installEventFilter(this);
    connect(shell_, &CorvaneSplitShell::sidebarWidthChanged, this, &ContentView::clearHeaderRow);
    displaySettings_->panelColumn()->installEventFilter(this);
}

ContentView::~ContentView() = default;

QWidget *ContentView::makeHeaderRow() {
    headerRow_ = new QWidget;
    auto *row = new QHBoxLayout(headerRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->addWidget(new CorvaneTrafficLights, 0, Qt::AlignVCenter);

    const auto symbolButton = [](const char *symbol) {
        auto *button = new CorvaneSymbolButton(QString::fromUtf8(symbol), 13, QFont::Medium);
        corvaneForeground(button, Color::corvaneTextSecondary());
        return button;
    };
    sidebarToggle_ = symbolButton("sidebar.leading");
    connect(sidebarToggle_, &QAbstractButton::clicked, this,
            [this] { setSidebarCollapsed(!isSidebarCollapsed(), true); });
    row->addWidget(sidebarToggle_, 0, Qt::AlignVCenter);

    addLibrary_ = symbolButton("plus");
    corvaneTooltip(addLibrary_, QString::fromUtf8(addLibraryTitle));
    connect(addLibrary_, &QAbstractButton::clicked, this,
            [this] { openLibraryFilePicker(state(), *environment_.libraryPicker, this); });
    row->addWidget(addLibrary_, 0, Qt::AlignVCenter);
    row->addWidget(new DetectFromFCPButton(state(), true), 0, Qt::AlignVCenter);

    // No desktop menu bar to lend it to: the host's commands stay in the window.
    menuBar_ = new QMenuBar;
    menuBar_->setNativeMenuBar(false);
    corvaneFont(menuBar_, 13, CorvaneFontWeight::medium);
    menuBar_->setStyleSheet(
        QStringLiteral("QMenuBar { background: transparent; }"
                       "QMenuBar::item { background: transparent; color: %1; padding: 2px 6px;"
                       " border-radius: 4px; }"
                       "QMenuBar::item:selected, QMenuBar::item:pressed { background: %2; }")
            .arg(Color::corvaneTextSecondary().name(QColor::HexArgb),
                 Color::corvaneSelection().name(QColor::HexArgb)));
    if (environment_.fillMenuBar) {
        environment_.fillMenuBar(menuBar_);
    }
    row->addWidget(menuBar_, 0, Qt::AlignVCenter);
    describeSidebarToggle();
    return headerRow_;
}

bool ContentView::isSidebarCollapsed() const {
    return sidebarFloats_ ? !floatingSidebarShown_ : isSidebarCollapsed_;
}

void ContentView::setSidebarCollapsed(bool collapsed, bool animated) {
    if (!sidebarFloats_) {
        isSidebarCollapsed_ = collapsed;
    } else {
        floatingSidebarShown_ = !collapsed;
        // Asked for over the editor, it is wanted: it stays when the window widens. Put away
        // again, it only leaves the editor's way, as it does when the window narrows.
        if (!collapsed) {
            isSidebarCollapsed_ = false;
        }
    }
    showSidebar(animated);
}

void ContentView::showSidebar(bool animated) {
    describeSidebarToggle();
    shell_->setSidebarFloating(sidebarFloats_);
    shell_->setSidebarCollapsed(isSidebarCollapsed(), animated);
    // Beside the header row while the sidebar is collapsed in a wide window; under it where
    // the sidebar floats.
    displaySettings_->setSidebarCollapsed(!sidebarFloats_ && isSidebarCollapsed_);
    editorLayout_->setContentsMargins(0, sidebarFloats_ ? sidebarTopInset : 0, 0, 0);
    clearHeaderRow();
}

void ContentView::clearHeaderRow() {
    // Beside a narrow sidebar the header row reaches over the pane: the editor's header moves
    // clear of it.
    int clearance = 0;
    if (!sidebarFloats_ && !isSidebarCollapsed_) {
        const int paneLeft =
            SplitShellGeometry::compute(shell_->size(), shell_->sidebarWidth(), 1).content.left();
        const int headerEnd = headerOrigin.x() + headerRow_->sizeHint().width() + headerGap;
        clearance = std::max(0, headerEnd - paneLeft - DisplaySettingsView::columnPadding);
    }
    displaySettings_->setHeaderClearance(clearance);
}

void ContentView::fitSidebar(bool animated) {
    const CorvaneFloatingPanelColumn *column = displaySettings_->panelColumn();
    const int panels = displaySettings_->activePanels().empty()
                           ? 0
                           : static_cast<int>(std::lround(column->columnWidth())) +
                                 CorvaneFloatingPanelColumn::padding;
    const bool floats = !SidebarFit::docks(shell_->width(), shell_->sidebarWidth(), panels,
                                           DisplaySettingsView::columnMinimumWidth);
    if (floats == sidebarFloats_) {
        return;
    }
    sidebarFloats_ = floats;
    floatingSidebarShown_ = false;
    showSidebar(animated);
}

bool ContentView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == shell_ && event->type() == QEvent::Resize) {
        fitSidebar(false);
    } else if (watched == displaySettings_->panelColumn() &&
               (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        // A panel opened or the last one closed: the sidebar moves as the column slides.
        fitSidebar(true);
    }
    return QWidget::eventFilter(watched, event);
}

void ContentView::describeSidebarToggle() {
    // The tooltip's text is also the button's accessible name.
    corvaneTooltip(sidebarToggle_,
                   QString::fromUtf8(isSidebarCollapsed() ? showSidebarTitle : hideSidebarTitle));
}

void ContentView::applyAppearance() {
    appearance_ = MainWindowAppearance::from(environment_.preferences->appearance());
    shell_->setBaseColor(appearance_.baseColor, appearance_.baseOpacity);
    shell_->setSidebarCardColor(appearance_.sidebarCardColor, appearance_.sidebarCardOpacity);
    band_->setColor(appearance_.bandColor);
}

bool ContentView::showsUpdateBanner() const {
    return !bannerSection_->isHidden();
}

void ContentView::showUpdateState() {
    const PluginUpdateState &updateState = state().pluginUpdateState();
    banner_->setState(updateState);
    bannerSection_->setVisible(updateState != PluginUpdateState::upToDate());
}

FeedbackSheet *ContentView::feedbackSheet() const {
    return feedbackSheet_;
}

void ContentView::presentFeedbackSheet() {
    if (!isVisible() || feedbackSheet_ != nullptr) {
        return;
    }
    feedbackSheet_ = FeedbackSheet::present(this, state());
}

void ContentView::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        corvaneTransparentWindow(this);
    }
    // Every time the window comes on screen; the state object starts only once.
    state().start();
}

void ContentView::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void ContentView::dropEvent(QDropEvent *event) {
    for (const std::filesystem::path &library : droppedLibraries(event->mimeData()->urls())) {
        AppState *target = &state();
        platform::MainQueue::async(target, [target, library] { target->addLibrary(library); });
    }
    // Whatever was in it: the drop is taken.
    event->acceptProposedAction();
}

} // namespace tandrel
