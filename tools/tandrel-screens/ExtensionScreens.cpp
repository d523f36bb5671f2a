// The editor panel in the states a user meets it in: connected to the editor with the host's
// presets, on a drop-frame sequence, before the host has published any, without the editor,
// with an XML drag over its drop zone, and after a drop was saved.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "extension/TandrelFCPExtensionViewController.h"
#include "extension/XMLDropZoneView.h"
#include "host/bridge/ExtensionBridge.h"
#include "platform/pasteboard/DragPasteboard.h"
#include "platform/proext/SimulatedFCPXHost.h"
#include "platform/runtime/MainQueue.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>

namespace {

using namespace tandrel;
using tandrel::screens::ScreenContext;

enum class Stage { connected, dropFrame, noPresets, failed, dragOver, saved };

const QString sampleExport = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<fcpxml version=\"1.11\">\n"
    "  <library><event name=\"Day 1\"><project name=\"Sample\"/></event></library>\n</fcpxml>\n");

std::unique_ptr<QWidget> panel(const ScreenContext &context, Stage stage) {
    if (stage != Stage::noPresets) {
        ExtensionBridge::publishPresets(
            {{*Uuid::fromString("3F2A6C1E-8B4D-4E7A-9C15-2D6E8F0A1B3C"), "Netflix QC Layout"},
             {*Uuid::fromString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), "Conform"},
             {*Uuid::fromString("0B4D1C9A-7F35-4A5E-9E7D-3C1A2B4D5E6F"), "Colorist"}},
            *Uuid::fromString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
    }
    // The editor, for as long as the screen's process runs.
    static const auto editor = std::make_shared<platform::SimulatedFCPXHost>();
    if (stage == Stage::dropFrame) {
        // Frame 1800 of a 29.97 drop-frame sequence: the first of the second minute.
        editor->simulatedTimeline().setActiveSequence(std::make_shared<platform::SimulatedSequence>(
            screens::namedWhole(context, "Sample") + " 29.97 DF", timecode::MediaTime(1001, 30000),
            platform::FCPXSequenceTimecodeFormat::dropFrame));
        editor->simulatedTimeline().setPlayheadTime(timecode::MediaTime(1800 * 1001, 30000));
        platform::ProExtensionRegisterHost(editor);
    } else if (stage != Stage::failed) {
        editor->simulatedTimeline().setActiveSequence(std::make_shared<platform::SimulatedSequence>(
            screens::namedWhole(context, "Sample"), timecode::MediaTime(1, 25),
            platform::FCPXSequenceTimecodeFormat::nonDropFrame));
        editor->simulatedTimeline().setPlayheadTime(timecode::MediaTime(90003, 25));
        platform::ProExtensionRegisterHost(editor);
    }
    auto services = TandrelFCPExtensionViewController::Services::standard();
    // A screen never opens the host.
    services.launchHostApp = nullptr;
    auto made = std::make_unique<TandrelFCPExtensionViewController>(std::move(services));
    platform::MainQueue::runPending();

    XMLDropZoneView &zone = *made->dropZone();
    const platform::DragPasteboard drag(
        {{{XMLDropZoneView::fcpxmlPasteboardType, sampleExport.toUtf8()}}});
    if (stage == Stage::dragOver || stage == Stage::saved) {
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &drag, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&zone, &enter);
    }
    // A drop reaches the target that took the drag on entering.
    if (stage == Stage::saved) {
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &drag, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&zone, &drop);
    }
    return made;
}

template <Stage stage> std::unique_ptr<QWidget> build(const ScreenContext &context) {
    return panel(context, stage);
}

const tandrel::screens::ScreenRegistration screens{
    {"extension-panel-connected", {300, 220}, build<Stage::connected>},
    {"extension-panel-drop-frame", {300, 220}, build<Stage::dropFrame>},
    {"extension-panel-no-presets", {300, 220}, build<Stage::noPresets>},
    {"extension-panel-failed", {300, 220}, build<Stage::failed>},
    {"extension-panel-drag-over", {300, 220}, build<Stage::dragOver>},
    {"extension-panel-saved", {300, 220}, build<Stage::saved>},
};

} // namespace
