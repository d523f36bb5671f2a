// The flow layout: where children go for a width, and the layout over widgets that uses it.
#include "host/views/layout/FlowLayout.h"

#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

namespace tandrel {
namespace {

using Arrangement = FlowLayout::Arrangement;

} // namespace

void PrintTo(const FlowLayout::Arrangement &arrangement, std::ostream *out) {
    *out << arrangement.size.width() << " x " << arrangement.size.height() << " at";
    for (std::size_t i = 0; i < arrangement.positions.size(); ++i) {
        const QPointF &position = arrangement.positions[i];
        *out << " (" << position.x() << ", " << position.y() << ")";
        if (i < arrangement.widths.size()) {
            *out << " " << arrangement.widths[i] << " wide";
        }
    }
}

namespace {

using Child = FlowLayout::Child;

// Children of these widths, 20 high, that cannot be made narrower.
std::vector<Child> widths(std::initializer_list<double> each, double height = 20) {
    std::vector<Child> children;
    for (const double width : each) {
        children.push_back({{width, height}, width});
    }
    return children;
}

// What the layout should give: the children at their own widths, unless `given` says other.
Arrangement expected(QSizeF size, std::vector<QPointF> positions,
                     const std::vector<Child> &children, std::vector<double> given = {}) {
    if (given.empty()) {
        for (const Child &child : children) {
            given.push_back(child.size.width());
        }
    }
    return {size, std::move(positions), std::move(given)};
}

TEST(FlowLayout, ArrangesLikeWordsInAParagraph) {
    struct Case {
        const char *what;
        std::vector<Child> children;
        std::optional<double> width;
        double spacing;
        QSizeF size;
        std::vector<QPointF> positions;
        // The widths given, where they are not the children's own.
        std::vector<double> given = {};
    };
    const std::vector<Child> shrinkable{{{30, 20}, 30}, {{400, 20}, 60}, {{30, 20}, 30}};
    const Case cases[] = {
        {"no children", {}, 100.0, 10, {0, 0}, {}},
        {"no width: one row, however long",
         widths({50, 50, 50}),
         std::nullopt,
         10,
         {180, 20},
         {{0, 0}, {60, 0}, {120, 0}}},
        {"the third child wraps",
         widths({50, 50, 50}),
         120.0,
         10,
         {120, 50},
         {{0, 0}, {60, 0}, {0, 30}}},
        {"the width counts the spacing after the last child: 116, not 108",
         widths({40, 60}),
         std::nullopt,
         8,
         {116, 20},
         {{0, 0}, {48, 0}}},
        {"a right edge exactly at the width stays on the row",
         widths({50, 50}),
         110.0,
         10,
         {120, 20},
         {{0, 0}, {60, 0}}},
        {"one point less and it wraps", widths({50, 50}), 109.0, 10, {60, 50}, {{0, 0}, {0, 30}}},
        {"a child wider than the width that cannot shrink stays first on its row",
         widths({200}),
         100.0,
         10,
         {210, 20},
         {{0, 0}}},
        {"after another child it takes a row of its own",
         widths({30, 200, 30}),
         100.0,
         10,
         {210, 80},
         {{0, 0}, {0, 30}, {0, 60}}},
        {"the next row starts below the row's tallest child",
         {{{50, 20}, 50}, {{50, 40}, 50}, {{50, 10}, 50}},
         110.0,
         10,
         {120, 60},
         {{0, 0}, {60, 0}, {0, 50}}},
        // A long chip: alone on its row at the row's width, the chips after it on the next.
        {"a child that can shrink takes the row's width",
         shrinkable,
         100.0,
         10,
         {110, 80},
         {{0, 0}, {0, 30}, {0, 60}},
         {30, 100, 30}},
        {"but not less than its least width",
         shrinkable,
         50.0,
         10,
         {70, 80},
         {{0, 0}, {0, 30}, {0, 60}},
         {30, 60, 30}},
        {"without a width it keeps its own",
         shrinkable,
         std::nullopt,
         10,
         {490, 20},
         {{0, 0}, {40, 0}, {450, 0}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FlowLayout::arrange(c.children, c.width, c.spacing),
                  expected(c.size, c.positions, c.children, c.given))
            << c.what;
    }
}

// A widget of a fixed ideal size.
QWidget *block(QWidget *parent, int width, int height) {
    auto *widget = new QWidget(parent);
    widget->setFixedSize(width, height);
    return widget;
}

TEST(FlowLayout, PlacesWidgetsAndAsksItsParentForTheHeightOfItsRows) {
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    auto *flowing = new QWidget;
    auto *flow = new FlowLayout(10, flowing);
    std::vector<QWidget *> blocks;
    for (int i = 0; i < 4; ++i) {
        blocks.push_back(block(flowing, 50, 20));
        flow->addWidget(blocks.back());
    }
    // A hidden child takes no place.
    blocks[1]->hide();
    column->addWidget(flowing);
    column->addStretch(1);

    EXPECT_EQ(flow->sizeHint(), QSize(180, 20));
    EXPECT_EQ(flow->minimumSize(), QSize(50, 20));
    EXPECT_EQ(flow->heightForWidth(120), 50);

    window.resize(120, 300);
    window.show();
    EXPECT_EQ(flowing->height(), 50);
    EXPECT_EQ(blocks[0]->geometry(), QRect(0, 0, 50, 20));
    EXPECT_EQ(blocks[2]->geometry(), QRect(60, 0, 50, 20));
    EXPECT_EQ(blocks[3]->geometry(), QRect(0, 30, 50, 20));

    // Wider: one row.
    window.resize(400, 300);
    window.layout()->activate();
    EXPECT_EQ(flowing->height(), 20);
    EXPECT_EQ(blocks[3]->geometry(), QRect(120, 0, 50, 20));
}

} // namespace
} // namespace tandrel
