#include "designkit/CorvaneDivider.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/preview/PositionPreviewWindow.h"
#include "host/views/preview/tests/PreviewFixture.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QLabel>

namespace tandrel::testing {
namespace {

using PreviewWindow = PreviewTest;

TEST_F(PreviewWindow, TheTitleFollowsTheActivePresetAndItsName) {
    usePreset({element(0.5, 0.5)});
    auto *window = new PositionPreviewWindow(state());
    show(window, {1200, 800});
    EXPECT_FALSE(window->showsPlaceholder());
    EXPECT_EQ(window->title(), QString::fromUtf8("Position Preview \u2014 Layout"));
    // The divider under the title runs from edge to edge.
    auto *divider = window->findChild<corvane::CorvaneDivider *>();
    ASSERT_NE(divider, nullptr);
    EXPECT_EQ(divider->width(), window->width());
    const QImage line = divider->grab().toImage();
    EXPECT_EQ(line.pixelColor(0, 0), line.pixelColor(line.width() / 2, 0));
    EXPECT_EQ(line.pixelColor(line.width() - 1, 0), line.pixelColor(line.width() / 2, 0));

    std::vector<DisplayConfig> renamed = state().presets();
    renamed[0].name = "Trailer \u2014 v2";
    state().setPresets(renamed);
    EXPECT_EQ(window->title(), QString::fromUtf8("Position Preview \u2014 Trailer \u2014 v2"));

    // Another preset made active: the title and the canvas follow it.
    DisplayConfig other(Uuid::random(), "Other", false, {element(0.2, 0.2), element(0.4, 0.4)});
    renamed.push_back(other);
    state().setPresets(renamed);
    state().setActivePresetID(other.id);
    EXPECT_EQ(window->title(), QString::fromUtf8("Position Preview \u2014 Other"));
    EXPECT_EQ(window->canvas()->chips().size(), 2u);
}

// The window's texts are in the kit's face, as the pane's are; a preset name too long for the
// window ends its title with "…" inside the window.
TEST_F(PreviewWindow, ItsTextsAreInTheKitsFaceAndItsTitleIsCutInsideIt) {
    usePreset({element(0.5, 0.5)});
    std::vector<DisplayConfig> presets = state().presets();
    presets[0].name = std::string(80, 'W') + " for the festival review copy of reel five";
    state().setPresets(presets);
    auto *window = new PositionPreviewWindow(state());
    QWidget &shown = show(window, {900, 650});
    // The face the kit's names resolve to.
    const QString kitFamily = QFontInfo(textStyleFont(corvane::FontTextStyle::caption2)).family();
    ASSERT_NE(kitFamily, QFontInfo(QFont()).family());
    const QWidget *title = window->titleLabel();
    PositionPreviewCanvas *canvas = window->canvas();
    const QWidget *texts[] = {title, canvas->gridToggle(), canvas->hintLabel()};
    for (const QWidget *text : texts) {
        EXPECT_EQ(QFontInfo(text->font()).family(), kitFamily) << text->metaObject()->className();
    }
    const QList<QLabel *> labels = canvas->findChildren<QLabel *>();
    const auto crop = std::ranges::find_if(
        labels, [](const QLabel *label) { return label->text() == QStringLiteral("Crop"); });
    ASSERT_NE(crop, labels.end());
    EXPECT_EQ(QFontInfo((*crop)->font()).family(), kitFamily);

    EXPECT_TRUE(window->titleLabel()->isElided());
    EXPECT_TRUE(window->titleLabel()->shownText().endsWith(QChar(0x2026)));
    EXPECT_LE(title->mapTo(&shown, QPoint(title->width(), 0)).x(), shown.width());
}

TEST_F(PreviewWindow, WithoutAnActivePresetOnlyThePlaceholderShows) {
    usePreset({element(0.5, 0.5)});
    state().setActivePresetID(Uuid::random());
    auto *window = new PositionPreviewWindow(state());
    show(window, {1200, 800});
    EXPECT_TRUE(window->showsPlaceholder());
    EXPECT_FALSE(window->canvas()->isVisible());
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    const auto shown =
        std::ranges::find_if(labels, [](QLabel *label) { return label->isVisible(); });
    ASSERT_NE(shown, labels.end());
    EXPECT_EQ((*shown)->text(), "No preset selected.");

    state().setActivePresetID(state().presets()[0].id);
    EXPECT_FALSE(window->showsPlaceholder());
    EXPECT_TRUE(window->canvas()->isVisible());
}

TEST_F(PreviewWindow, AReopenedWindowStartsWithGridAndSnapOff) {
    usePreset({element(0.5, 0.5)});
    {
        PositionPreviewWindow first(state());
        first.canvas()->setShowGrid(true);
        first.canvas()->setSnapToGrid(true);
        first.canvas()->setGridDivisions(6);
    }
    // Starting values that the window's own replace.
    PositionPreviewWindow second(state(),
                                 {.showGrid = true, .snapToGrid = true, .gridDivisions = 7});
    EXPECT_FALSE(second.canvas()->showGrid());
    EXPECT_FALSE(second.canvas()->snapToGrid());
    EXPECT_EQ(second.canvas()->gridDivisions(), 3);
    EXPECT_EQ(second.minimumSize(), QSize(900, 650));
    EXPECT_EQ(second.sizeHint(), QSize(1200, 800));
}

TEST_F(PreviewWindow, AnEditInTheWindowShowsInThePaneAtOnce) {
    usePreset({element(0.1, 0.1), element(0.6, 0.6)});
    PositionPreviewCanvas &pane = showCanvas();
    auto *window = new PositionPreviewWindow(state(), options());
    show(window, {1200, 800});
    ASSERT_EQ(pane.chips().size(), 2u);

    // A drag in the window moves the pane's chip.
    const Uuid moved = idOf(1);
    drag(*window->canvas()->chip(moved), {50, 0}, 2);
    EXPECT_EQ(pane.chip(moved)->inputs().element.posX, stored(1).posX);
    EXPECT_GT(stored(1).posX, 0.6);

    // Removing the last elements there empties both canvases.
    for (const Uuid id : {idOf(0), idOf(1)}) {
        state().selectElement(id, false);
        window->canvas()->chip(id)->removeButton()->click();
        settle();
    }
    EXPECT_TRUE(preset().elements.empty());
    EXPECT_TRUE(pane.chips().empty());
    EXPECT_TRUE(window->canvas()->chips().empty());
}

} // namespace
} // namespace tandrel::testing
