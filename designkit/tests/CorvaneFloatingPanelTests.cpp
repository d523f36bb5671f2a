#include "designkit/Color.h"
#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvaneGlassSection.h"
#include "designkit/CorvanePanelToggleButton.h"
#include "designkit/CorvaneSectionHeader.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/FloatingPanelHeader.h"
#include "designkit/Palette.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

using Role = PanelHeaderButton::Role;

std::vector<Role> roles(const std::vector<PanelHeaderButton> &buttons) {
    std::vector<Role> result;
    for (const auto &button : buttons) {
        result.push_back(button.role);
    }
    return result;
}

QRect inPanel(const QWidget &panel, const QWidget *child) {
    return QRect(child->mapTo(&panel, QPoint(0, 0)), child->size());
}

void layOut(QWidget &widget, QSize size) {
    widget.resize(size);
    widget.show();
    widget.layout()->activate();
}

} // namespace

TEST(CorvaneFloatingPanelHeader, ButtonsForEachCombinationOfActions) {
    struct Case {
        bool expand;
        bool close;
        std::vector<Role> roles;
    };
    const std::vector<Case> cases = {
        {false, false, {}},
        {true, false, {Role::expand}},
        {false, true, {Role::close}},
        {true, true, {Role::expand, Role::close}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "expand " << c.expand << ", close " << c.close);
        EXPECT_EQ(roles(FloatingPanelHeader::buttons(c.expand, c.close)), c.roles);
    }
    EXPECT_EQ(FloatingPanelHeader::buttons(true, true),
              (std::vector<PanelHeaderButton>{
                  {Role::expand, QStringLiteral("arrow.up.left.and.arrow.down.right"),
                   QStringLiteral("Expand")},
                  {Role::close, QStringLiteral("xmark"), QStringLiteral("Close")}}));
}

TEST(CorvaneFloatingPanel, HeaderShowsOnlyTheButtonsOfGivenActionsAndCallsThem) {
    int expanded = 0;
    int closed = 0;
    CorvaneFloatingPanel both({.title = QStringLiteral("Position"),
                               .icon = QStringLiteral("slider.horizontal.3"),
                               .onExpand = [&] { ++expanded; },
                               .onClose = [&] { ++closed; },
                               .content = new QLabel(QStringLiteral("x 0.5"))});
    ASSERT_NE(both.expandButton(), nullptr);
    ASSERT_NE(both.closeButton(), nullptr);
    both.expandButton()->click();
    both.closeButton()->click();
    both.closeButton()->click();
    EXPECT_EQ(expanded, 1);
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(both.closeButton()->symbol(), QStringLiteral("xmark"));
    EXPECT_EQ(foregroundOf(both.closeButton()), Color::corvaneTextTertiary());
    // The buttons carry the kit's tooltip, below them.
    auto *tooltip = both.closeButton()->findChild<CorvaneTooltipModifier *>();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(tooltip->text(), QStringLiteral("Close"));
    EXPECT_EQ(tooltip->edge(), Edge::bottom);

    CorvaneFloatingPanel closeOnly({.title = QStringLiteral("Validate"), .onClose = [] {}});
    EXPECT_EQ(closeOnly.expandButton(), nullptr);
    EXPECT_NE(closeOnly.closeButton(), nullptr);
    EXPECT_EQ(closeOnly.findChildren<CorvaneSymbolButton *>().size(), 1);

    CorvaneGlassSection section(QStringLiteral("Guides"), QStringLiteral("square"), new QLabel);
    EXPECT_EQ(section.findChildren<CorvaneSymbolButton *>().size(), 0);
    EXPECT_NE(section.iconView(), nullptr);
    EXPECT_EQ(section.title(), QStringLiteral("Guides"));
}

TEST(CorvaneFloatingPanel, TitleSitsAtTheLeadingPaddingAndTheContentUnderIt) {
    auto *content = new QLabel(QStringLiteral("Snap to guides"));
    CorvaneFloatingPanel panel({.title = QStringLiteral("Layout"), .content = content});
    layOut(panel, QSize(300, 400));
    EXPECT_EQ(panel.iconView(), nullptr);
    const QRect title = inPanel(panel, panel.titleView());
    EXPECT_EQ(title.left(), 12);
    EXPECT_EQ(title.top(), 12);
    // Content that does not expand sits at the top left of the area under the header.
    const QRect body = inPanel(panel, content);
    EXPECT_EQ(body.left(), 12);
    EXPECT_EQ(body.top(), title.bottom() + 1 + 8);
    EXPECT_EQ(body.size(), content->sizeHint());

    // Content that expands across takes the width between the paddings, and its own height.
    auto *wide = new QLabel(QStringLiteral("Drop here"));
    wide->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    CorvaneFloatingPanel widePanel({.title = QStringLiteral("Validate"), .content = wide});
    layOut(widePanel, QSize(300, 400));
    EXPECT_EQ(inPanel(widePanel, wide),
              QRect(QPoint(12, body.top()), QSize(300 - 2 * 12, wide->sizeHint().height())));

    // With an icon the title follows it 8 points on; a panel takes all the height offered.
    CorvaneFloatingPanel iconic({.title = QStringLiteral("Layout"),
                                 .icon = QStringLiteral("square"),
                                 .content = new QLabel});
    layOut(iconic, QSize(300, 400));
    EXPECT_EQ(inPanel(iconic, iconic.iconView()).left(), 12);
    EXPECT_EQ(inPanel(iconic, iconic.titleView()).left(),
              inPanel(iconic, iconic.iconView()).right() + 1 + 8);
    EXPECT_EQ(iconic.sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
}

TEST(CorvaneFloatingPanel, ColumnPadsOnlyTheSideOfItsEdge) {
    for (const HorizontalEdge edge : {HorizontalEdge::leading, HorizontalEdge::trailing}) {
        const bool trailing = edge == HorizontalEdge::trailing;
        SCOPED_TRACE(trailing ? "trailing" : "leading");
        QWidget window;
        auto *row = new QHBoxLayout(&window);
        row->setContentsMargins(0, 0, 0, 0);
        auto *column = new CorvaneFloatingPanelColumn(240, edge);
        auto *first = new CorvaneFloatingPanel({.title = QStringLiteral("One")});
        auto *second = new CorvaneFloatingPanel({.title = QStringLiteral("Two")});
        column->addPanel(first);
        column->addPanel(second);
        auto *canvas = new QWidget;
        canvas->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        if (trailing) {
            row->addWidget(canvas);
            row->addWidget(column);
        } else {
            row->addWidget(column);
            row->addWidget(canvas);
        }
        layOut(window, QSize(800, 600));
        EXPECT_EQ(column->width(), 248);
        EXPECT_EQ(column->x(), trailing ? 800 - 248 : 0);
        const QRect one = inPanel(*column, first);
        const QRect two = inPanel(*column, second);
        EXPECT_EQ(one.width(), 240);
        EXPECT_EQ(one.left(), trailing ? 0 : 8);
        EXPECT_EQ(one.top(), 8);
        EXPECT_EQ(two.top(), one.bottom() + 1 + 8);
        // As tall as they ask, not stretched over the column: its glass shows below them.
        EXPECT_EQ(two.height(), second->sizeHint().height());
        EXPECT_LT(two.bottom() + 1, 600 - 8);
    }
}

// A panel that asks for a height and can give way down to a least.
class AskingPanel : public QWidget {
public:
    AskingPanel(int asks, int least) : asks_(asks), least_(least) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    QSize sizeHint() const override { return {100, asks_}; }
    QSize minimumSizeHint() const override { return {0, least_}; }

private:
    int asks_;
    int least_;
};

TEST(CorvaneFloatingPanel, ColumnSharesItsHeightByWhatThePanelsHold) {
    using Sizing = CorvaneFloatingPanelColumn::Sizing;
    struct Panel {
        Sizing sizing;
        int asks;
        int least;
    };
    struct Case {
        const char *what;
        int room; // the height of the panels and the gaps between them
        std::vector<Panel> panels;
        std::vector<int> heights;
    };
    // Four panels as the layout editor has them: a hint, rows that scroll, rows that keep their
    // height, a tile shown whole.
    const std::vector<Panel> four = {{Sizing::scrolls, 60, 40},
                                     {Sizing::scrolls, 300, 40},
                                     {Sizing::fixed, 200, 80},
                                     {Sizing::fixed, 250, 100}};
    const int gaps = 3 * CorvaneFloatingPanelColumn::spacing;
    const Case cases[] = {
        {"all fit: each as tall as it asks, none stretched",
         810 + gaps + 30,
         four,
         {60, 300, 200, 250}},
        {"short: the tallest that scrolls gives way first", 710 + gaps, four, {60, 200, 200, 250}},
        {"then both that scroll, evenly", 550 + gaps, four, {50, 50, 200, 250}},
        // Beyond that the column scrolls: no panel below its least, the whole ones whole.
        {"never one that scrolls below its least, nor a whole one",
         400 + gaps,
         four,
         {40, 40, 200, 250}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QWidget window;
        auto *row = new QHBoxLayout(&window);
        row->setContentsMargins(0, 0, 0, 0);
        auto *column = new CorvaneFloatingPanelColumn(240, HorizontalEdge::trailing);
        row->addWidget(column);
        std::vector<QWidget *> panels;
        for (const Panel &panel : c.panels) {
            panels.push_back(new AskingPanel(panel.asks, panel.least));
            column->addPanel(panels.back(), panel.sizing);
        }
        window.resize(248, c.room + 2 * CorvaneFloatingPanelColumn::padding);
        window.show();
        window.layout()->activate();
        column->layout();
        QCoreApplication::sendPostedEvents();
        std::vector<int> heights;
        int top = CorvaneFloatingPanelColumn::padding;
        for (const QWidget *panel : panels) {
            heights.push_back(panel->height());
            EXPECT_EQ(panel->y(), top);
            top += panel->height() + CorvaneFloatingPanelColumn::spacing;
        }
        EXPECT_EQ(heights, c.heights);
        // The column scrolls exactly when its panels at their least are taller than it.
        const auto *scroll = column->findChild<QScrollArea *>();
        ASSERT_NE(scroll, nullptr);
        EXPECT_EQ(scroll->verticalScrollBar()->maximum() > 0, c.room < 530 + gaps);
    }
}

TEST(CorvaneFloatingPanel, ColumnSlidesInFromItsEdgeAndOutToIt) {
    ManualClock clock;
    ScopedClock scoped(clock);
    QWidget window;
    auto *row = new QHBoxLayout(&window);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto *canvas = new QWidget;
    canvas->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *column = new CorvaneFloatingPanelColumn(240, HorizontalEdge::trailing);
    auto *panel = new CorvaneFloatingPanel({.title = QStringLiteral("Inspector")});
    column->addPanel(panel);
    row->addWidget(canvas);
    row->addWidget(column);
    column->hide();
    layOut(window, QSize(800, 600));
    EXPECT_EQ(canvas->width(), 800);

    column->setVisibleAnimated(true);
    EXPECT_TRUE(column->isVisible());
    clock.advance(100ms);
    window.layout()->activate();
    // Half way: the column's space has grown part of the way and the panels come in through
    // the window's trailing edge at their full width.
    EXPECT_GT(column->width(), 0);
    EXPECT_LT(column->width(), 248);
    EXPECT_EQ(column->x() + column->width(), 800);
    EXPECT_EQ(panel->width(), 240);
    EXPECT_EQ(column->panelsGeometry().left(), 0);
    EXPECT_GT(panel->mapTo(&window, QPoint(0, 0)).x() + 248, 800);
    clock.advance(100ms);
    window.layout()->activate();
    EXPECT_EQ(column->width(), 248);
    EXPECT_EQ(canvas->width(), 800 - 248);

    column->setVisibleAnimated(false);
    clock.advance(150ms);
    EXPECT_TRUE(column->isVisible());
    clock.advance(50ms);
    EXPECT_FALSE(column->isVisible());
    // Shown at once afterwards, it is whole.
    column->show();
    window.layout()->activate();
    EXPECT_EQ(column->width(), 248);
}

TEST(CorvaneFloatingPanel, APanelFadesInAndOutOfTheColumnWhileTheOthersMakeRoom) {
    ManualClock clock;
    ScopedClock scoped(clock);
    QWidget window;
    auto *row = new QHBoxLayout(&window);
    row->setContentsMargins(0, 0, 0, 0);
    auto *canvas = new QWidget;
    canvas->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    row->addWidget(canvas);
    auto *column = new CorvaneFloatingPanelColumn(240, HorizontalEdge::trailing);
    row->addWidget(column);
    const auto panel = [] {
        auto *made = new QWidget;
        made->setFixedHeight(100);
        return made;
    };
    const auto opacity = [](const QWidget *shown) {
        const auto *effect = qobject_cast<QGraphicsOpacityEffect *>(shown->graphicsEffect());
        return effect != nullptr ? effect->opacity() : 1.0;
    };
    QWidget *first = panel();
    QWidget *last = panel();
    column->addPanel(first);
    column->addPanel(last);
    layOut(window, QSize(800, 600));
    const int lastBefore = last->y();

    QWidget *middle = panel();
    column->insertPanel(1, middle, CorvaneFloatingPanelColumn::Sizing::scrolls, true);
    EXPECT_EQ(column->panels(), (QList<QWidget *>{first, middle, last}));
    EXPECT_TRUE(column->isRearranging());
    // It comes in clear and closed, and the panel below it has not moved yet; half way its
    // room has opened part of the way, and it shows from its top down to what is open.
    const auto shown = [](const QWidget *panel) {
        return panel->mask().isEmpty()
                   ? panel->height()
                   : panel->mask().intersected(panel->rect()).boundingRect().height();
    };
    EXPECT_EQ(opacity(middle), 0);
    EXPECT_EQ(shown(middle), 0);
    EXPECT_EQ(last->y(), lastBefore);
    clock.advance(100ms);
    EXPECT_GT(opacity(middle), 0);
    EXPECT_LT(opacity(middle), 1);
    EXPECT_GT(shown(middle), 0);
    EXPECT_LT(shown(middle), 100);
    const int lastHalfway = last->y();
    EXPECT_LT(middle->y() + shown(middle), lastHalfway);
    clock.advance(100ms);
    EXPECT_FALSE(column->isRearranging());
    EXPECT_EQ(middle->graphicsEffect(), nullptr);
    EXPECT_TRUE(middle->mask().isEmpty());
    const QRect middlePlace = middle->geometry();
    const int lastAfter = last->y();
    EXPECT_GE(lastAfter, middle->geometry().bottom() + 1 + CorvaneFloatingPanelColumn::spacing);
    EXPECT_NE(lastAfter, lastBefore);
    EXPECT_GT(std::abs(lastHalfway - lastBefore), 0);
    EXPECT_LT(std::abs(lastHalfway - lastBefore), std::abs(lastAfter - lastBefore));

    // Going: it fades out and its room closes while the panel below moves back; it is
    // deleted after.
    QPointer<QWidget> gone = middle;
    column->removePanel(middle, true);
    EXPECT_EQ(column->panels(), (QList<QWidget *>{first, last}));
    clock.advance(100ms);
    ASSERT_NE(gone, nullptr);
    EXPECT_TRUE(gone->isVisible());
    EXPECT_EQ(gone->size(), middlePlace.size());
    EXPECT_LT(opacity(gone), 1);
    EXPECT_GT(shown(gone), 0);
    EXPECT_LT(shown(gone), 100);
    EXPECT_LT(gone->y() + shown(gone), last->y());
    EXPECT_NE(last->y(), lastAfter);
    EXPECT_NE(last->y(), lastBefore);
    clock.advance(100ms);
    EXPECT_FALSE(gone->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(gone, nullptr);
    EXPECT_EQ(last->y(), lastBefore);

    // Hidden, the column changes at once.
    column->hide();
    QWidget *quiet = panel();
    column->insertPanel(0, quiet, CorvaneFloatingPanelColumn::Sizing::scrolls, true);
    EXPECT_FALSE(column->isRearranging());
    EXPECT_EQ(quiet->graphicsEffect(), nullptr);
}

TEST(CorvaneFloatingPanel, ToggleButtonColoursAndKitTooltip) {
    ManualClock clock;
    ScopedClock scoped(clock);
    QWidget window;
    int pressed = 0;
    auto *toggle = new CorvanePanelToggleButton(
        QStringLiteral("slider.horizontal.3"), false, QStringLiteral("Show Inspector"),
        [&] { ++pressed; }, &window);
    window.show();
    EXPECT_EQ(foregroundOf(toggle), Color::corvaneTextSecondary());
    toggle->setActive(true);
    EXPECT_EQ(foregroundOf(toggle), Color::corvaneAccent());
    toggle->click();
    EXPECT_EQ(pressed, 1);
    EXPECT_TRUE(toggle->isActive()); // the caller owns the state

    EXPECT_EQ(toggle->helpText(), QStringLiteral("Show Inspector"));
    EXPECT_TRUE(toggle->toolTip().isEmpty());
    hoverEnter(toggle);
    clock.advance(349ms);
    EXPECT_FALSE(toggle->tooltip()->isShown());
    clock.advance(1ms);
    EXPECT_TRUE(toggle->tooltip()->isShown());
}
