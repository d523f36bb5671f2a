#pragma once

// The position preview on a state object of stand-ins (host/state's fixture), shown offscreen
// in a window of known size, with the keyboard's modifiers held by the test and the mouse
// played by hand.

#include "host/state/tests/StateFixture.h"
#include "host/views/preview/PositionPreviewCanvas.h"
#include "host/views/preview/PreviewCanvasArea.h"
#include "host/views/preview/PreviewChipView.h"
#include "platform/runtime/MainQueue.h"

#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <memory>
#include <vector>

namespace tandrel::testing {

class PreviewTest : public StateTest {
protected:
    // The canvas's picture is 800 × 450 points: a 16:9 frame fills it.
    static constexpr int canvasWidth = 800;

    ~PreviewTest() override {
        // Views first: they read the state object.
        windows_.clear();
        platform::MainQueue::runPending();
    }

    static BurnInElement element(double x, double y, MetadataField field = MetadataField::custom,
                                 std::string label = "Label") {
        BurnInElement made(field);
        made.label = std::move(label);
        made.posX = x;
        made.posY = y;
        return made;
    }

    // Makes a preset of `elements` the only and active one.
    void usePreset(std::vector<BurnInElement> elements, DisplayOptions options = {}) {
        DisplayConfig preset(Uuid::random(), "Layout", false, std::move(elements), options);
        state().setPresets({preset});
        state().setActivePresetID(preset.id);
    }
    const DisplayConfig &preset() { return state().presets().at(0); }
    const BurnInElement &stored(std::size_t i) { return preset().elements.at(i); }
    Uuid idOf(std::size_t i) { return stored(i).id; }

    PositionPreviewCanvas::Options options(PositionPreviewCanvas::Options start = {}) {
        start.modifiers = [this] { return held; };
        return start;
    }

    // A window of its own holding a canvas of the active preset, laid out.
    PositionPreviewCanvas &showCanvas(PositionPreviewCanvas::Options start = {}) {
        auto *canvas = new PositionPreviewCanvas(
            state(), [this] { return state().activePresetIndex(); },
            [this](const Uuid &id) { state().removeElement(id); }, options(std::move(start)));
        show(canvas);
        return *canvas;
    }

    // Shows `content` alone in a window `canvasWidth` wide and settles its layout.
    QWidget &show(QWidget *content, QSize size = {canvasWidth, 640}) {
        auto window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
        window->resize(size);
        window->show();
        settle();
        windows_.push_back(std::move(window));
        return *windows_.back();
    }

    static void settle() {
        for (int round = 0; round < 4; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    // Where a press on the chip lands: 5 points in from its top-left corner.
    static QPointF grip(const PreviewChipView &chip) {
        return chip.parentWidget()->mapToGlobal(chip.chipInCanvas().topLeft() + QPointF(5, 5));
    }

    // A press on the chip, moves through `steps` equal parts of `by`, and a release.
    static void drag(PreviewChipView &chip, QPointF by, int steps = 1) {
        const QPointF start = grip(chip);
        mouse(chip, QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int i = 1; i <= steps; ++i) {
            mouse(chip, QEvent::MouseMove, start + by * i / steps, Qt::NoButton);
        }
        mouse(chip, QEvent::MouseButtonRelease, start + by, Qt::LeftButton);
    }
    static void click(PreviewChipView &chip) { drag(chip, {0, 0}, 0); }

    static void mouse(QWidget &target, QEvent::Type type, QPointF global, Qt::MouseButton button) {
        const Qt::MouseButtons down =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent event(type, target.mapFromGlobal(global), global, button, down, Qt::NoModifier);
        QApplication::sendEvent(&target, &event);
    }

    Qt::KeyboardModifiers held = Qt::NoModifier;

private:
    std::vector<std::unique_ptr<QWidget>> windows_;
};

} // namespace tandrel::testing
