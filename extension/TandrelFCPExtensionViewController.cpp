#include "extension/TandrelFCPExtensionViewController.h"

#include "core/support/Log.h"
#include "core/support/UnicodeText.h"
#include "designkit/CorvaneElidingComboBox.h"
#include "designkit/Fonts.h"
#include "designkit/TextElision.h"
#include "extension/PanelColors.h"
#include "extension/PlayheadTimecode.h"
#include "extension/XMLDropZoneView.h"
#include "platform/runtime/MainQueue.h"
#include "platform/workspace/ApplicationLauncher.h"
#include "timecode/ui/StyledText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QTextLayout>
#include <QThread>
#include <QVBoxLayout>

#include <cmath>
#include <system_error>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.extension", "panel");
}

// A name from the editor or the host as the panel shows it (shownName).
QString shownQt(std::string_view name) {
    const std::string shown = shownName(name, shownNameCharacters);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

// One line that gives up its middle, not its ends, when short of room: a sequence's name and
// a drop file's name differ at their ends.
class MiddleTruncatingLabel final : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QRect room = contentsRect();
        painter.drawText(room, int(alignment()) | Qt::TextSingleLine,
                         corvane::TextElision::elided(QFontMetricsF(font()), text(),
                                                      Qt::ElideMiddle, room.width()));
    }
};

// The playhead's time in the panel's face, each digit as wide as the widest one: the running
// time keeps its place, while the separators keep the face's own narrow width.
class TabularDigitsLabel final : public QLabel {
public:
    using QLabel::QLabel;

    QSize sizeHint() const override {
        QTextLayout layout;
        const QTextLine line = laidOut(layout);
        const QMargins margins = contentsMargins();
        return QSize(static_cast<int>(std::ceil(line.naturalTextWidth())),
                     static_cast<int>(std::ceil(line.height()))) +
               QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        QTextLayout layout;
        const QTextLine line = laidOut(layout);
        const QRect room = contentsRect();
        layout.draw(&painter,
                    QPointF(room.left(), room.top() + (room.height() - line.height()) / 2));
    }

private:
    QTextLine laidOut(QTextLayout &layout) const {
        timecode::StyledText styled(text());
        styled.setMonospacedDigits(true);
        layout.setText(text());
        layout.setFont(font());
        layout.setFormats(styled.formatRanges(font()));
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        return line;
    }
};

QLabel *styled(QLabel *made, double pointSize, QFont::Weight weight, QColor color) {
    QFont font = made->font();
    font.setPointSizeF(corvane::fontPointSize(pointSize));
    font.setWeight(weight);
    made->setFont(font);
    if (color.isValid()) {
        QPalette palette = made->palette();
        palette.setColor(QPalette::WindowText, color);
        made->setPalette(palette);
    }
    return made;
}

QLabel *label(const QString &text, double pointSize, QFont::Weight weight, QColor color,
              bool truncating = false) {
    return styled(truncating ? new MiddleTruncatingLabel(text) : new QLabel(text), pointSize,
                  weight, color);
}

QSize pointSize(ExtensionBridge::PanelSize size) {
    return {static_cast<int>(std::lround(size.width)), static_cast<int>(std::lround(size.height))};
}

} // namespace

TandrelFCPExtensionViewController::Services
TandrelFCPExtensionViewController::Services::standard() {
    return {
        .timers = platform::eventLoopTimers(),
        .launchHostApp = &TandrelFCPExtensionViewController::launchHostAppIfNeeded,
        .dropFile = XMLDropFile::Services::standard(),
    };
}

TandrelFCPExtensionViewController::TandrelFCPExtensionViewController(Services services,
                                                                     QWidget *parent)
    : QWidget(parent), services_(std::move(services)) {
    buildView();
    viewDidLoad();
}

TandrelFCPExtensionViewController::~TandrelFCPExtensionViewController() {
    if (timelineObserver_ && timeline_) {
        timeline_->removeTimelineObserver(timelineObserver_.get());
    }
}

QString TandrelFCPExtensionViewController::formatTimecode(timecode::MediaTime time,
                                                          const platform::FCPXSequence *sequence) {
    return QString::fromStdString(PlayheadTimecode::format(time, sequence));
}

void TandrelFCPExtensionViewController::launchHostAppIfNeeded() {
    const auto host = platform::ApplicationLauncher::urlForApplication(hostBundleIdentifier);
    if (!host) {
        return;
    }
    try {
        platform::ApplicationLauncher::openApplication(*host, {.activates = false});
    } catch (const std::system_error &error) {
        log()->warn("Could not open the host: {}", error.what());
    }
}

void TandrelFCPExtensionViewController::buildView() {
    const ExtensionBridge::PanelSize size = ExtensionBridge::readPanelSize(defaultSize);
    preferredContentSize_ = pointSize(size);
    resize(preferredContentSize_);

    const QPalette colors = palette();
    sequenceLabel_ = label("No sequence", 12, QFont::DemiBold, {}, true);
    timecodeLabel_ = styled(new TabularDigitsLabel("00:00:00:00"), 20, QFont::Medium,
                            PanelColors::secondaryLabel(colors));
    QLabel *caption = label("Preset", 11, QFont::Medium, PanelColors::secondaryLabel(colors));
    // A long name is cut short with "…", in the button and in its menu, rather than widening
    // the panel or spreading the menu across the screen.
    auto *presets = new corvane::CorvaneElidingComboBox;
    presets->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    presets->setMinimumContentsLength(12);
    presetPopUp_ = presets;
    connect(presetPopUp_, &QComboBox::activated, this, [this] { presetPicked(); });
    dropZone_ = new XMLDropZoneView;
    dropZone_->onXMLReceived = [panel = QPointer(this)](const QString &xml) {
        if (panel) {
            panel->handleDroppedXML(xml);
        }
    };
    dropStatusLabel_ = label("", 9, QFont::Normal, PanelColors::tertiaryLabel(colors), true);

    // Each subview hangs below the one before it, 12 points in from both sides; the time and
    // the caption sit at the leading side only.
    constexpr int margin = 12;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, 12, margin, 10);
    layout->setSpacing(0);
    layout->addWidget(sequenceLabel_);
    layout->addSpacing(4);
    layout->addWidget(timecodeLabel_, 0, Qt::AlignLeft);
    layout->addSpacing(14);
    layout->addWidget(caption, 0, Qt::AlignLeft);
    layout->addSpacing(4);
    layout->addWidget(presetPopUp_);
    layout->addSpacing(14);
    dropZone_->setFixedHeight(56);
    layout->addWidget(dropZone_);
    layout->addSpacing(4);
    layout->addWidget(dropStatusLabel_);
    // At least 10 points below the status, more when the panel is taller.
    layout->addStretch(1);
}

void TandrelFCPExtensionViewController::viewDidLoad() {
    reloadPresetsFromBridge();
    ExtensionBridge::observeDarwinNotification(
        ExtensionBridge::DarwinNotification::presetsChanged, [panel = QPointer(this)] {
            // Comes on the notification centre's thread: the panel is looked at on the main
            // thread only, through the application object, which outlives it.
            platform::MainQueue::async(QCoreApplication::instance(), [panel] {
                if (panel) {
                    panel->reloadPresetsFromBridge();
                }
            });
        });
    // After the panel is made, so that the editor's first calls find it complete; dropped
    // with the panel.
    platform::MainQueue::async(this, [this] { setupFCPXHost(); });
}

void TandrelFCPExtensionViewController::setupFCPXHost() {
    if (services_.launchHostApp) {
        services_.launchHostApp();
    }
    host_ = std::dynamic_pointer_cast<platform::FCPXHost>(platform::ProExtensionHostSingleton());
    if (!host_) {
        sequenceLabel_->setText("Failed to connect to Final Cut Pro");
        emit displayChanged();
        return;
    }
    timeline_ = host_->timeline();
    timelineObserver_ = std::make_shared<TandrelTimelineObserverWrapper>(this);
    if (timeline_) {
        timeline_->addTimelineObserver(timelineObserver_);
    }
    handleSequenceChanged();
    if (timeline_) {
        handlePlayheadChanged();
    }
}

void TandrelFCPExtensionViewController::handleSequenceChanged() {
    const auto sequence = timeline_ ? timeline_->activeSequence() : nullptr;
    if (sequence) {
        const std::string name = sequence->name();
        // The editor's name for it, whatever it holds: one bounded line, its controls shown.
        sequenceLabel_->setText(shownQt(name));
        lastPublishedSequenceName_ = name;
    } else {
        sequenceLabel_->setText("No sequence selected");
        lastPublishedSequenceName_.reset();
    }
    // Also when nothing changed: the host may have missed the last one.
    ExtensionBridge::publishActiveSelection(lastPublishedSequenceName_, selectedPresetID_);
    emit displayChanged();
}

void TandrelFCPExtensionViewController::handlePlayheadChanged() {
    if (!timeline_) {
        return;
    }
    timecodeLabel_->setText(
        formatTimecode(timeline_->playheadTime(), timeline_->activeSequence().get()));
    emit displayChanged();
}

void TandrelFCPExtensionViewController::reloadPresetsFromBridge() {
    ExtensionBridge::PublishedPresets published = ExtensionBridge::readPresets();
    availablePresets_ = std::move(published.presets);
    // Kept even when it names no preset listed: the host's choice stands until the user picks.
    selectedPresetID_ = published.activePresetID;
    presetPopUp_->clear();
    // A shared folder that is another user's is never read: the panel says so where it tells
    // what became of a drop, since no drop can be saved there either.
    std::string problem;
    if (!ExtensionBridge::containerURL(&problem) && !problem.empty()) {
        dropStatusLabel_->setText(
            QString::fromStdString("Couldn't reach the shared container: " + problem));
    }
    if (availablePresets_.empty()) {
        presetPopUp_->addItem("No presets (open Embrik)");
        presetPopUp_->setEnabled(false);
        emit displayChanged();
        return;
    }
    presetPopUp_->setEnabled(true);
    for (const ExtensionBridge::PresetSummary &preset : availablePresets_) {
        presetPopUp_->addItem(shownQt(preset.name));
    }
    for (size_t index = 0; selectedPresetID_ && index < availablePresets_.size(); ++index) {
        if (availablePresets_[index].id == *selectedPresetID_) {
            presetPopUp_->setCurrentIndex(static_cast<int>(index));
            break;
        }
    }
    emit displayChanged();
}

void TandrelFCPExtensionViewController::presetPicked() {
    const int index = presetPopUp_->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= availablePresets_.size()) {
        return;
    }
    selectedPresetID_ = availablePresets_[static_cast<size_t>(index)].id;
    const auto sequence = timeline_ ? timeline_->activeSequence() : nullptr;
    lastPublishedSequenceName_ =
        sequence ? std::optional<std::string>(sequence->name()) : std::nullopt;
    ExtensionBridge::publishActiveSelection(lastPublishedSequenceName_, selectedPresetID_);
}

void TandrelFCPExtensionViewController::handleDroppedXML(const QString &xml) {
    const XMLDropFile::Outcome outcome = XMLDropFile(services_.dropFile).save(xml);
    // It may quote a path or the system's words about it.
    dropStatusLabel_->setText(
        QString::fromStdString(withStrayControlsShown(elidedLine(outcome.statusText, 300))));
    emit displayChanged();
}

QSize TandrelFCPExtensionViewController::sizeHint() const {
    return preferredContentSize_;
}

void TandrelFCPExtensionViewController::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // The window system repeats the show of a window it maps; one appearance is one.
    if (!windowResizeObserver_) {
        viewDidAppear();
    }
}

void TandrelFCPExtensionViewController::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    if (windowResizeObserver_ && !isVisible()) {
        viewWillDisappear();
    }
}

void TandrelFCPExtensionViewController::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (windowResizeObserver_) {
        windowResizeObserver_->start(liveResizeQuietPeriod, [panel = QPointer(this)] {
            if (panel) {
                panel->saveSize();
            }
        });
    }
}

void TandrelFCPExtensionViewController::viewDidAppear() {
    // The stored size is the content's: the window grows by whatever it puts around the panel
    // (a title bar, say), so that the panel reopens at the size it was left at.
    const QSize content = pointSize(ExtensionBridge::readPanelSize(defaultSize));
    QWidget *panelWindow = window();
    panelWindow->resize(panelWindow->size() - size() + content);
    windowResizeObserver_ = services_.timers ? services_.timers() : nullptr;
    if (!windowResizeObserver_) {
        log()->warn("No timer: the panel's size is stored only when it disappears");
    }
}

void TandrelFCPExtensionViewController::viewWillDisappear() {
    windowResizeObserver_.reset();
    saveSize();
}

void TandrelFCPExtensionViewController::saveSize() const {
    ExtensionBridge::savePanelSize(width(), height());
}

void TandrelTimelineObserverWrapper::activeSequenceChanged() {
    forwardToMain(&TandrelFCPExtensionViewController::handleSequenceChanged);
}

void TandrelTimelineObserverWrapper::playheadTimeChanged() {
    forwardToMain(&TandrelFCPExtensionViewController::handlePlayheadChanged);
}

void TandrelTimelineObserverWrapper::sequenceTimeRangeChanged() {
    forwardToMain(&TandrelFCPExtensionViewController::handleSequenceChanged);
}

void TandrelTimelineObserverWrapper::forwardToMain(
    void (TandrelFCPExtensionViewController::*action)()) {
    QCoreApplication *application = QCoreApplication::instance();
    if (!application) {
        return;
    }
    if (QThread::currentThread() == application->thread()) {
        if (viewController_) {
            (viewController_->*action)();
        }
        return;
    }
    // The pointer is copied here and looked at on the main thread only.
    platform::MainQueue::async(application, [panel = viewController_, action] {
        if (panel) {
            ((*panel).*action)();
        }
    });
}

} // namespace tandrel
