#include "host/views/preview/ChipFont.h"
#include "host/views/preview/GridStepper.h"
#include "host/views/preview/tests/PreviewFixture.h"

#include "core/database/LibraryScanner.h"
#include "host/query/tests/QueryFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <algorithm>

namespace tandrel::testing {
namespace {

using PreviewCanvas = PreviewTest;

std::set<Uuid> ids(std::initializer_list<Uuid> list) {
    return list;
}

TEST_F(PreviewCanvas, AMoveUnderTwoPointsIsAClickFromTwoPointsADrag) {
    struct Case {
        QPointF by;
        bool drags;
    };
    // Pointer positions arrive in whole points.
    const Case cases[] = {
        {{1, 0}, false}, {{0, -1}, false}, {{1, 1}, false}, {{-1, 1}, false},
        {{2, 0}, true},  {{0, 2}, true},   {{-2, 0}, true}, {{1, -2}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::make_pair(c.by.x(), c.by.y())));
        usePreset({element(0.3, 0.3)});
        PositionPreviewCanvas &canvas = showCanvas();
        drag(*canvas.chip(idOf(0)), c.by);
        // Either way the unselected chip is selected.
        EXPECT_EQ(state().selectedElementIDs(), ids({idOf(0)}));
        EXPECT_DOUBLE_EQ(stored(0).posX, c.drags ? 0.3 + c.by.x() / 800 : 0.3);
        EXPECT_DOUBLE_EQ(stored(0).posY, c.drags ? 0.3 - c.by.y() / 450 : 0.3);
    }
}

TEST_F(PreviewCanvas, ClicksSelectAndShiftClicksExtend) {
    usePreset({element(0.1, 0.1), element(0.5, 0.5)});
    PositionPreviewCanvas &canvas = showCanvas();
    click(*canvas.chip(idOf(0)));
    EXPECT_EQ(state().selectedElementIDs(), ids({idOf(0)}));
    held = Qt::ShiftModifier;
    click(*canvas.chip(idOf(1)));
    EXPECT_EQ(state().selectedElementIDs(), ids({idOf(0), idOf(1)}));
    EXPECT_TRUE(canvas.chip(idOf(1))->inputs().isSelected);
}

TEST_F(PreviewCanvas, ADragSelectsAnUnselectedChipFirstAndMovesAWholeSelection) {
    usePreset({element(0.5, 0.5), element(0.98, 0.2), element(0.1, 0.1)});
    const Uuid a = idOf(0), b = idOf(1), c = idOf(2);
    PositionPreviewCanvas &canvas = showCanvas();
    const auto selectAAndB = [&] {
        state().selectElement(a, false);
        state().selectElement(b, true);
    };

    // An unselected chip takes the selection and moves alone.
    selectAAndB();
    drag(*canvas.chip(c), {40, 0}, 3);
    EXPECT_EQ(state().selectedElementIDs(), ids({c}));
    EXPECT_DOUBLE_EQ(stored(2).posX, 0.15);
    EXPECT_EQ(stored(0).posX, 0.5);
    EXPECT_EQ(stored(1).posX, 0.98);

    // A selected chip moves the selection with it; the follower stops at the edge.
    selectAAndB();
    drag(*canvas.chip(a), {40, 0}, 3);
    EXPECT_EQ(state().selectedElementIDs(), ids({a, b}));
    EXPECT_DOUBLE_EQ(stored(0).posX, 0.55);
    EXPECT_EQ(stored(1).posX, 1.0);
    EXPECT_DOUBLE_EQ(stored(2).posX, 0.15);

    // With Shift the dragged chip joins the selection, and the move keeps to its long axis.
    held = Qt::ShiftModifier;
    drag(*canvas.chip(c), {5, -90}, 3);
    EXPECT_EQ(state().selectedElementIDs(), ids({a, b, c}));
    EXPECT_DOUBLE_EQ(stored(0).posY, 0.7);
    EXPECT_DOUBLE_EQ(stored(1).posY, 0.4);
    EXPECT_DOUBLE_EQ(stored(2).posY, 0.3);
    EXPECT_DOUBLE_EQ(stored(2).posX, 0.15);
}

TEST_F(PreviewCanvas, ADragShowsItsGuidesAndHidesThemWhenItEnds) {
    usePreset({element(0.1, 0.3)});
    PositionPreviewCanvas &canvas = showCanvas();
    PreviewChipView &chip = *canvas.chip(idOf(0));
    const QPointF start = grip(chip);
    mouse(chip, QEvent::MouseButtonPress, start, Qt::LeftButton);
    // 77 points left: 3 points from the picture's left edge, which catches the chip.
    mouse(chip, QEvent::MouseMove, start + QPointF(-77, 0), Qt::NoButton);
    EXPECT_EQ(canvas.activeGuideX(), 0.0);
    EXPECT_EQ(canvas.canvasArea()->picture().guideX, 0.0);
    EXPECT_EQ(canvas.activeGuideY(), std::nullopt);
    EXPECT_EQ(chip.boxInCanvas().left(), 0);
    // Option moves freely: no guide.
    held = Qt::AltModifier;
    mouse(chip, QEvent::MouseMove, start + QPointF(-76, 0), Qt::NoButton);
    EXPECT_EQ(canvas.activeGuideX(), std::nullopt);
    held = Qt::NoModifier;
    mouse(chip, QEvent::MouseMove, start + QPointF(-77, 0), Qt::NoButton);
    mouse(chip, QEvent::MouseButtonRelease, start + QPointF(-77, 0), Qt::LeftButton);
    EXPECT_EQ(canvas.activeGuideX(), std::nullopt);
    EXPECT_EQ(stored(0).posX, 0.0);
}

TEST_F(PreviewCanvas, TheCentringButtonsOfASelectedChipCentreItInThePicture) {
    usePreset({element(0.1, 0.1)});
    PositionPreviewCanvas &canvas = showCanvas();
    PreviewChipView &chip = *canvas.chip(idOf(0));
    EXPECT_FALSE(chip.removeButton()->isVisible());
    EXPECT_FALSE(chip.centreHorizontallyButton()->isVisible());
    state().selectElement(idOf(0), false);
    ASSERT_TRUE(chip.centreHorizontallyButton()->isVisible());
    EXPECT_EQ(chip.removeButton()->accessibleName(), "Remove Element");
    EXPECT_EQ(chip.centreHorizontallyButton()->toolTip(), "Center horizontally");
    EXPECT_EQ(chip.centreVerticallyButton()->toolTip(), "Center vertically");

    chip.centreHorizontallyButton()->click();
    EXPECT_DOUBLE_EQ(chip.boxInCanvas().center().x(), 400);
    EXPECT_EQ(stored(0).posY, 0.1);
    chip.centreVerticallyButton()->click();
    EXPECT_DOUBLE_EQ(chip.boxInCanvas().center().y(), 225);

    chip.removeButton()->click();
    EXPECT_TRUE(preset().elements.empty());
    settle();
    EXPECT_TRUE(canvas.chips().empty());
}

TEST_F(PreviewCanvas, ASelectedChipAndItsButtonsLieAboveEveryChip) {
    usePreset({element(0.3, 0.5, MetadataField::custom, "A first label of some length"),
               element(0.6, 0.2)});
    PositionPreviewCanvas &canvas = showCanvas();
    PreviewChipView &first = *canvas.chip(idOf(0));
    state().selectElement(idOf(0), false);
    settle();
    QWidget *area = canvas.canvasArea();
    const QPoint close = first.removeButton()->geometry().center();
    const QPoint toolbar = first.centreHorizontallyButton()->mapTo(
        area, first.centreHorizontallyButton()->rect().center());

    // A later chip moved over the selected one's top right corner, its background under the
    // close button, its short text beside it.
    const QRectF visible = canvas.canvasArea()->picture().visible;
    std::vector<DisplayConfig> presets = state().presets();
    BurnInElement &later = presets[0].elements[1];
    later.posX = (close.x() - 40 - visible.left()) / visible.width();
    later.posY = 1 - (close.y() + 10 - visible.top()) / visible.height();
    later.label = "A";
    state().setPresets(presets);
    settle();
    PreviewChipView &second = *canvas.chip(idOf(1));
    const QRectF laterChip = second.chipInCanvas();
    ASSERT_EQ(first.removeButton()->geometry().center(), close) << "the button moved";
    ASSERT_TRUE(laterChip.contains(close));
    ASSERT_FALSE(second.textInCanvas().contains(close));

    EXPECT_EQ(area->childAt(close), first.removeButton());
    EXPECT_EQ(area->childAt(toolbar), first.centreHorizontallyButton());
    // Where the two chips overlap, the selected one lies above the later one; unselected,
    // the later one lies above again.
    const QPointF overlap = first.chipInCanvas().intersected(laterChip).center();
    ASSERT_TRUE(laterChip.contains(overlap));
    EXPECT_EQ(area->childAt(overlap.toPoint()), &first);
    state().selectElement(idOf(1), false);
    settle();
    EXPECT_EQ(area->childAt(overlap.toPoint()), &second);
}

// Elements close together, as the built-in conform preset stacks them: their chips overlap.
// The selected one lies above its neighbours, every chip's lines above every chip (so no
// background covers them), the selected chip's buttons above all; the dashed outline of its
// effect's box stays clear of its own lines.
TEST_F(PreviewCanvas, OverlappingChipsCanEachBeReadAndTheSelectedOneLiesOnTop) {
    std::vector<BurnInElement> stacked;
    for (const char *label : {"TC:", "Proj:", "Clip Name", "File:", "Reel:"}) {
        stacked.push_back(element(0.05, 0.05 + 0.05 * static_cast<double>(stacked.size()),
                                  MetadataField::custom, label));
        stacked.back().fontSize = 16;
    }
    usePreset(stacked);
    PositionPreviewCanvas &canvas = showCanvas();
    QWidget *area = canvas.canvasArea();
    const std::vector<PreviewChipView *> chips = canvas.chips();
    ASSERT_EQ(chips.size(), 5u);
    for (std::size_t i = 0; i + 1 < chips.size(); ++i) {
        ASSERT_TRUE(chips[i]->chipInCanvas().intersects(chips[i + 1]->chipInCanvas()))
            << "chips " << i << " and " << i + 1 << " do not overlap";
    }
    state().selectElement(idOf(2), false);
    settle();

    const auto depth = [area](const QObject *widget) {
        return area->children().indexOf(const_cast<QObject *>(widget));
    };
    const QWidget *texts = canvas.chipTextLayer();
    ASSERT_NE(texts, nullptr);
    EXPECT_TRUE(texts->isVisible());
    EXPECT_EQ(texts->geometry(), area->rect());
    EXPECT_TRUE(texts->testAttribute(Qt::WA_TransparentForMouseEvents));
    PreviewChipView &selected = *chips[2];
    for (const PreviewChipView *chip : chips) {
        EXPECT_EQ(chip->textLayer(), texts);
        EXPECT_LT(depth(chip), depth(texts));
        if (chip != &selected) {
            EXPECT_LT(depth(chip), depth(&selected));
        }
    }
    EXPECT_GT(depth(selected.removeButton()), depth(texts));
    EXPECT_GT(depth(selected.centreHorizontallyButton()->parentWidget()), depth(texts));
    // Where the next, later chip overlaps the selected one, a click takes the selected one.
    const QRectF overlap = selected.chipInCanvas().intersected(chips[3]->chipInCanvas());
    ASSERT_FALSE(overlap.isEmpty());
    EXPECT_EQ(area->childAt(overlap.center().toPoint()), &selected);

    const QRectF text = selected.textInCanvas();
    EXPECT_TRUE(selected.chipInCanvas().contains(text));
    // The effect's box, far smaller here, runs across the chip at the height of its lines.
    const QRectF box = selected.boxInCanvas();
    ASSERT_GT(box.top(), text.top());
    ASSERT_LT(box.top(), text.bottom());
    const std::vector<QLineF> outline = selected.outlineInCanvas();
    EXPECT_FALSE(outline.empty());
    for (const QLineF &line : outline) {
        const QRectF span = QRectF(line.p1(), line.p2()).normalized().adjusted(-0.5, -0.5, 0.5, 0.5);
        EXPECT_FALSE(span.intersects(text)) << "through the chip's text";
    }
    EXPECT_TRUE(chips[1]->outlineInCanvas().empty());
}

// A chip is drawn to be read: its label at the element's size on the canvas, never under 9
// points, in a box of at least 60 × 24 points with 8 around the text. It stands on the box the
// effect draws the element's text in, far smaller at this scale: their left and bottom edges
// are one. A selected chip's buttons sit on its top corners, 8 points out.
TEST_F(PreviewCanvas, ChipsAreReadableAndStandOnTheEffectsBox) {
    BurnInElement reel = element(0.3, 0.5, MetadataField::reel, "Reel:");
    reel.fontSize = 16;
    usePreset({reel});
    PositionPreviewCanvas &canvas = showCanvas();
    PreviewChipView &chip = *canvas.chip(idOf(0));
    const double scale = chip.inputs().scale;
    ASSERT_NEAR(scale, 800.0 / 1920, 1e-9);
    EXPECT_EQ(chip.displayLines(), std::vector<std::string>{"Reel:"});
    EXPECT_EQ(chip.renderText(), "Reel: A001");

    const QRectF drawn = chip.chipInCanvas();
    const QRectF box = chip.boxInCanvas();
    EXPECT_GE(drawn.width(), 60);
    EXPECT_GE(drawn.height(), 24);
    // The text is 9 points, not 16 × 0.42: a line of it with 8 points above and below.
    const QFontMetricsF nine(ChipFont::font(9, QFont::Medium, *canvas.canvasArea()));
    EXPECT_NEAR(drawn.height(), std::ceil(nine.ascent()) + std::ceil(nine.descent()) + 16, 1);
    EXPECT_LT(box.height(), drawn.height());
    EXPECT_DOUBLE_EQ(drawn.left(), box.left());
    EXPECT_DOUBLE_EQ(drawn.bottom(), box.bottom());
    // The effect's box is at true scale: 16-pixel text with 8 pixels a side, about 13 points.
    EXPECT_NEAR(box.height(), (std::ceil(nine.height() * 16 / 9) + 16) * scale, 3);

    state().selectElement(idOf(0), false);
    settle();
    // The toolbar 8 points out to the left, into the chip no further than its padding.
    const QWidget *toolbar = chip.centreHorizontallyButton()->parentWidget();
    EXPECT_EQ(toolbar->x(), std::lround(drawn.left() - 8));
    EXPECT_EQ(toolbar->geometry().bottom() + 1,
              std::lround(std::min(drawn.top() + 8, drawn.top() - 8 + toolbar->height())));
    EXPECT_EQ(chip.removeButton()->geometry().topRight() + QPoint(1, 0),
              (drawn.topRight() + QPointF(8, -8)).toPoint());
}

TEST_F(PreviewCanvas, AChipPushedOutOfTheFrameByGrowthOrAResizeIsPulledBack) {
    // Growth: stacked layers add two lines above a timecode near the top.
    BurnInElement timecode = element(0.3, 0.95, MetadataField::sourceTC, "TC:");
    usePreset({timecode});
    PositionPreviewCanvas &canvas = showCanvas();
    EXPECT_EQ(stored(0).posY, 0.95);
    std::vector<DisplayConfig> presets = state().presets();
    presets[0].showStackedLayers = true;
    state().setPresets(presets);
    settle();
    const PreviewChipView &grown = *canvas.chip(idOf(0));
    const QRectF frame = canvas.canvasArea()->picture().frame;
    EXPECT_LT(stored(0).posY, 0.95);
    EXPECT_NEAR(grown.boxInCanvas().top(), frame.top(), 1e-9);
    // Stored where it is drawn.
    EXPECT_EQ(grown.placedPosition(), std::make_pair(stored(0).posX, stored(0).posY));

    // A resize: a position set elsewhere that leaves the box outside stays as it is when the
    // canvas first shows, and is pulled in when the canvas changes size.
    usePreset({element(0.97, 0.5, MetadataField::custom, "Property of Ostrevale")});
    PositionPreviewCanvas &resized = showCanvas();
    EXPECT_EQ(stored(0).posX, 0.97);
    EXPECT_LT(resized.chip(idOf(0))->placedPosition().first, 0.97);
    resized.window()->resize(600, 640);
    settle();
    EXPECT_LT(stored(0).posX, 0.97);
    const QRectF smaller = resized.canvasArea()->picture().frame;
    EXPECT_NEAR(resized.chip(idOf(0))->boxInCanvas().right(), smaller.right(), 1e-9);
}

// The brightness of the picture's pixel at (x, y).
int brightness(const QImage &image, int x, int y) {
    return qGray(image.pixel(x, y));
}

// Runs of pixels brighter than the lit picture along a row or a column: the grid's lines.
std::vector<int> brightRuns(const QImage &image, bool alongRow, int at, int from, int to) {
    std::vector<int> runs;
    bool inRun = false;
    int brightest = 0;
    for (int i = from; i < to; ++i) {
        const int value = alongRow ? brightness(image, i, at) : brightness(image, at, i);
        if (value > 24) {
            brightest = inRun ? std::max(brightest, value) : value;
            inRun = true;
        } else if (inRun) {
            runs.push_back(brightest);
            inRun = false;
        }
    }
    return runs;
}

TEST_F(PreviewCanvas, AnIndexOutsideThePresetsShowsTheDefaultPresetAndEditsGoNowhere) {
    usePreset({element(0.3, 0.3)});
    auto *canvas = new PositionPreviewCanvas(
        state(), [] { return std::optional<std::size_t>(5); }, {}, options());
    show(canvas);
    // The default preset: source timecode "TC:" and the clip name, on the sample frame.
    ASSERT_EQ(canvas->chips().size(), 2u);
    EXPECT_EQ(canvas->chips()[0]->displayLines(), std::vector<std::string>{"TC:"});
    EXPECT_EQ(canvas->chips()[1]->displayLines(), std::vector<std::string>{"Clip Name"});
    EXPECT_EQ(canvas->chips()[0]->renderText(), "TC: 01:00:00:00");
    EXPECT_EQ(canvas->chips()[1]->renderText(), "A001C001_250101_ABCD");
    const std::vector<DisplayConfig> before = state().presets();
    drag(*canvas->chips()[0], {40, -40});
    canvas->setCropAspectRatio(2.39);
    EXPECT_EQ(state().presets(), before);
    // The same chips stay: the default preset is made once.
    EXPECT_EQ(canvas->chips().size(), 2u);
}

TEST_F(PreviewCanvas, DrawsABlackFrameTheLitPictureItsCropOutlineAndTheGrid) {
    BurnInElement hidden = element(0.5, 0.5);
    hidden.isEnabled = false;
    usePreset({hidden}, {.visiblePictureAspectRatio = 4.0 / 3.0});
    PositionPreviewCanvas &canvas = showCanvas();
    EXPECT_TRUE(canvas.chips().empty());
    ASSERT_EQ(canvas.canvasArea()->size(), QSize(800, 450));

    // 4:3 in 16:9: the picture is 600 wide from x 100, black bars beside it, outlined.
    QImage image = canvas.canvasArea()->grab().toImage();
    EXPECT_EQ(image.pixel(50, 225), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(750, 225), qRgb(0, 0, 0));
    EXPECT_NEAR(brightness(image, 400, 225), 18, 2); // white at 0.07
    EXPECT_GT(brightness(image, 100, 225), brightness(image, 110, 225) + 5);
    EXPECT_GT(brightness(image, 699, 225), brightness(image, 690, 225) + 5);

    // Without a crop the picture is the frame, with no outline.
    canvas.setCropAspectRatio(std::nullopt);
    EXPECT_EQ(preset().visiblePictureAspectRatio, std::nullopt);
    image = canvas.canvasArea()->grab().toImage();
    EXPECT_NEAR(brightness(image, 50, 225), 18, 2);
    EXPECT_EQ(brightness(image, 100, 225), brightness(image, 110, 225));
    EXPECT_EQ(brightness(image, 1, 225), brightness(image, 10, 225));

    // N - 1 lines each way; for an even N the middle one is the brighter centre line.
    canvas.setShowGrid(true);
    for (const int divisions : {2, 3, 4, 8}) {
        SCOPED_TRACE(divisions);
        canvas.setGridDivisions(divisions);
        image = canvas.canvasArea()->grab().toImage();
        const std::vector<int> across = brightRuns(image, true, 20, 3, 797);
        const std::vector<int> down = brightRuns(image, false, 20, 3, 447);
        ASSERT_EQ(across.size(), static_cast<std::size_t>(divisions - 1));
        ASSERT_EQ(down.size(), static_cast<std::size_t>(divisions - 1));
        const bool centred = brightness(image, 400, 20) > 24 || brightness(image, 399, 20) > 24;
        EXPECT_EQ(centred, divisions % 2 == 0);
        if (divisions % 2 == 0) {
            const int middle = divisions / 2 - 1;
            EXPECT_EQ(std::ranges::max(across), across[middle]);
            if (divisions > 2) {
                EXPECT_GT(across[middle], across[0]);
            }
        }
    }
    canvas.setShowGrid(false);
    image = canvas.canvasArea()->grab().toImage();
    EXPECT_TRUE(brightRuns(image, true, 20, 3, 797).empty());
}

TEST_F(PreviewCanvas, ShowsEnabledElementsOnlyAndNotesStackedBlocksEvenDisabled) {
    BurnInElement block = element(0.1, 0.1, MetadataField::stackedLayerReel, "REEL");
    block.isEnabled = false;
    usePreset({element(0.5, 0.5), block});
    PositionPreviewCanvas &canvas = showCanvas();
    ASSERT_EQ(canvas.chips().size(), 1u);
    EXPECT_EQ(canvas.chips()[0]->elementID(), idOf(0));
    EXPECT_TRUE(canvas.stackedLayerNote()->isVisible());
    EXPECT_EQ(canvas.stackedLayerNote()->text(), PositionPreviewCanvas::stackedLayerNoteText);
    EXPECT_TRUE(canvas.hintLabel()->isVisible());

    usePreset({element(0.5, 0.5)});
    EXPECT_FALSE(canvas.stackedLayerNote()->isVisible());
}

TEST_F(PreviewCanvas, DeleteRemovesTheSelectionButNotWhileATextFieldHasTheKeyboard) {
    const auto fourSelectingThree = [this] {
        usePreset({element(0.1, 0.1), element(0.2, 0.2), element(0.3, 0.3), element(0.4, 0.4)});
        state().selectElement(idOf(0), false);
        state().selectElement(idOf(1), true);
        state().selectElement(idOf(3), true);
    };
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *field = new QLineEdit;
    auto *canvas = new PositionPreviewCanvas(
        state(), [this] { return state().activePresetIndex(); },
        [this](const Uuid &id) { state().removeElement(id); }, options());
    layout->addWidget(field);
    layout->addWidget(canvas);
    QWidget &window = show(page);
    QApplication::setActiveWindow(&window);
    // The field takes the keyboard when the window comes up.
    field->clearFocus();

    fourSelectingThree();
    QTest::keyClick(&window, Qt::Key_Delete);
    ASSERT_EQ(preset().elements.size(), 1u);
    EXPECT_EQ(stored(0).posX, 0.3);
    EXPECT_TRUE(state().selectedElementIDs().empty());
    // Nothing selected: the command is off.
    EXPECT_FALSE(canvas->deleteCommand()->isEnabled());

    fourSelectingThree();
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_FALSE(canvas->deleteCommand()->isEnabled());
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Delete);
    canvas->deleteCommand()->trigger();
    EXPECT_EQ(preset().elements.size(), 4u);

    field->clearFocus();
    EXPECT_TRUE(canvas->deleteCommand()->isEnabled());
    QTest::keyClick(&window, Qt::Key_Backspace);
    EXPECT_EQ(preset().elements.size(), 1u);
    QApplication::setActiveWindow(nullptr);
}

TEST_F(PreviewCanvas, TheGridStepperStaysWithinTwoToEight) {
    struct Case {
        int start;
        bool up;
        int clicks;
        int result;
    };
    const Case cases[] = {
        {7, true, 3, 8}, {3, false, 3, 2}, {3, true, 2, 5}, {12, false, 0, 8}, {0, true, 0, 2}};
    usePreset({element(0.5, 0.5)});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.start);
        PositionPreviewCanvas &canvas = showCanvas({.showGrid = true, .gridDivisions = c.start});
        GridStepper &stepper = *canvas.gridStepper();
        for (int i = 0; i < c.clicks; ++i) {
            (c.up ? stepper.incrementButton() : stepper.decrementButton())->click();
        }
        EXPECT_EQ(canvas.gridDivisions(), c.result);
        EXPECT_EQ(stepper.text(), QStringLiteral("%1×%1").arg(c.result));
        EXPECT_EQ(canvas.chip(idOf(0))->inputs().gridDivisions, c.result);
    }
}

TEST_F(PreviewCanvas, TurningTheGridOffKeepsItsSettingsAndSnapStillReachesTheChips) {
    usePreset({element(0.5, 0.5)});
    PositionPreviewCanvas &canvas =
        showCanvas({.showGrid = true, .snapToGrid = true, .gridDivisions = 5});
    EXPECT_TRUE(canvas.snapToggle()->isVisible());
    canvas.gridToggle()->click();
    EXPECT_FALSE(canvas.showGrid());
    EXPECT_FALSE(canvas.snapToggle()->isVisible());
    EXPECT_FALSE(canvas.gridStepper()->isVisible());
    EXPECT_TRUE(canvas.chip(idOf(0))->inputs().snapToGrid);
    EXPECT_EQ(canvas.chip(idOf(0))->inputs().gridDivisions, 5);
    canvas.gridToggle()->click();
    EXPECT_TRUE(static_cast<QAbstractButton *>(canvas.snapToggle())->isChecked());
    EXPECT_EQ(canvas.gridStepper()->value(), 5);
}

// Two timelines of one library: "Wide" at 1920 × 1080 and "Square" at 1080 × 1080.
class PreviewCanvasResolution : public PreviewTest {
protected:
    void SetUp() override {
        sample::LibraryDescription library =
            describedLibrary("Frames", {{"Wide", 1}, {"Square", 1}});
        sample::Timeline &square = library.events.at(0).timelines.at(1);
        square.frameWidth = 1080;
        square.frameHeight = 1080;
        const std::filesystem::path bundle =
            sample::SampleLibraryWriter::write(library, folder.path());
        AppState::Services services = fakeServices();
        services.scanLibrary = &LibraryScanner::scan;
        services.writeSnapshot = [this](const TandrelSnapshot &snapshot) {
            written.push_back(snapshot.displayConfig);
        };
        state_ = std::make_unique<AppState>(services);
        state().addLibrary(bundle);
        platform::MainQueue::runPending();
        for (const TimelineChoice &timeline : state().availableTimelines()) {
            timelines[timeline.name] = timeline.id;
        }
        state().setActiveTimeline(timelines.at("Wide"));
        ASSERT_EQ(state().activeTimelineResolution(), (Size{1920, 1080}));
    }

    ScratchFolder folder;
    std::map<std::string, std::string> timelines;
    // The preset of every snapshot written, in order.
    std::vector<DisplayConfig> written;
};

TEST_F(PreviewCanvasResolution, AChipPulledBackAfterGrowingIsPartOfTheChangeThatMadeItGrow) {
    // Stacked layers add two lines above a timecode near the top: the element is pulled down
    // in the same change, in both views, and the plug-in is handed one snapshot, of where the
    // element ends, never the layout with the element reaching past the frame.
    usePreset({element(0.3, 0.95, MetadataField::sourceTC, "TC:"), element(0.3, 0.2)});
    PositionPreviewCanvas &pane = showCanvas();
    PositionPreviewCanvas &window = showCanvas();
    window.window()->resize(1200, 800);
    settle();
    written.clear();

    std::vector<DisplayConfig> presets = state().presets();
    presets[0].showStackedLayers = true;
    state().setPresets(presets);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_LT(written[0].elements[0].posY, 0.95);
    EXPECT_EQ(written[0], preset());
    for (const PositionPreviewCanvas *canvas : {&pane, &window}) {
        const PreviewChipView &grown = *canvas->chip(idOf(0));
        EXPECT_EQ(grown.inputs().element.posY, stored(0).posY);
        EXPECT_GE(grown.boxInCanvas().top(), canvas->canvasArea()->picture().frame.top() - 1e-9);
    }
    settle();
    EXPECT_EQ(written.size(), 1u);

    // A change that leaves every chip inside is written as it is, once.
    presets = state().presets();
    presets[0].elements[1].posX = 0.4;
    state().setPresets(presets);
    settle();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1], presets[0]);
}

TEST_F(PreviewCanvasResolution, ANewAspectRescalesAndClampsEachElementOnceInEveryView) {
    // Outside the frame once the square frame makes the chips relatively wider.
    usePreset({element(0.95, 0.5), element(0.5, 0.5)});
    PositionPreviewCanvas &wide = showCanvas();
    PositionPreviewCanvas &narrow = showCanvas();
    narrow.window()->resize(500, 640);
    settle();
    // Shown for the first time, or resized, nothing is pulled in.
    EXPECT_EQ(stored(0).posX, 0.95);
    const double scaleBefore = wide.chip(idOf(0))->inputs().scale;

    state().setActiveTimeline(timelines.at("Square"));
    settle();
    EXPECT_GT(wide.canvasArea()->height(), 450);
    const QRectF frame = wide.canvasArea()->picture().frame;
    EXPECT_NEAR(frame.width(), frame.height(), 1);
    EXPECT_DOUBLE_EQ(wide.chip(idOf(0))->inputs().scale, frame.width() / 1080);
    EXPECT_NE(wide.chip(idOf(0))->inputs().scale, scaleBefore);

    // Both views pulled the element in from the stored position: the result is the tighter
    // of their clamps, not a correction added twice or four times.
    const double inWide = wide.chip(idOf(0))->dragMath().clampToFrame(0.95, 0.5).first;
    const double inNarrow = narrow.chip(idOf(0))->dragMath().clampToFrame(0.95, 0.5).first;
    ASSERT_LT(inWide, 0.95);
    EXPECT_DOUBLE_EQ(stored(0).posX, std::min(inWide, inNarrow));
    EXPECT_EQ(stored(0).posY, 0.5);
    EXPECT_EQ(stored(1).posX, 0.5);

    // A resize alone moves nothing.
    const double clamped = stored(0).posX;
    wide.window()->resize(300, 640);
    settle();
    EXPECT_EQ(stored(0).posX, clamped);
}

} // namespace
} // namespace tandrel::testing
