#include "designkit/CorvaneScrollArea.h"
#include "designkit/CorvaneScrollIndicators.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// A view that scrolls has the kit's look, shows what lies behind it, and asks for its
// content's height at the width it is given.
TEST(CorvaneScrollArea, IsClearWithTheKitsIndicatorsAndAsksForItsContentsHeight) {
    auto *content = new QWidget;
    auto *rows = new QVBoxLayout(content);
    auto *text = new QLabel(QStringLiteral("A line of text long enough to wrap when it is narrow, "
                                           "and onto more lines the narrower it gets."));
    text->setWordWrap(true);
    rows->addWidget(text);
    CorvaneScrollArea later;
    later.setContent(content);
    CorvaneScrollArea empty;

    for (const CorvaneScrollArea *area : {&later, &empty}) {
        EXPECT_TRUE(hasCorvaneScrollIndicators(area));
        EXPECT_EQ(area->frameShape(), QFrame::NoFrame);
        EXPECT_FALSE(area->viewport()->autoFillBackground());
        EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        // No arrow buttons, and the track is clear.
        EXPECT_TRUE(area->verticalScrollBar()->styleSheet().contains(
            QStringLiteral("sub-line:vertical { height: 0; }")));
        EXPECT_EQ(area->minimumSizeHint().height(), 24);
    }
    EXPECT_FALSE(content->autoFillBackground());
    ASSERT_TRUE(later.hasHeightForWidth());
    EXPECT_EQ(later.heightForWidth(120), content->heightForWidth(120));
    EXPECT_GT(later.heightForWidth(120), later.heightForWidth(600));
    EXPECT_FALSE(empty.hasHeightForWidth());

    // Other scroll views take the look alone.
    QPlainTextEdit editor;
    EXPECT_FALSE(hasCorvaneScrollIndicators(&editor));
    corvaneScrollIndicators(&editor);
    EXPECT_TRUE(hasCorvaneScrollIndicators(&editor));
}

// Rows of these heights, 4 points apart, the first 8 points under the content's top.
QWidget *rowsOfHeights(std::initializer_list<int> heights) {
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(4);
    for (const int height : heights) {
        auto *row = new QWidget;
        row->setFixedHeight(height);
        layout->addWidget(row);
    }
    layout->addStretch(1);
    return content;
}

void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
    }
}

// A view of whole rows shows a whole row at every stop, from the top to the end: it keeps room
// for the first row below what lies above it, and at its end the last stop puts a row's top at
// the top edge, what it has to spare below the last row rather than over a row left out at the
// top.
TEST(CorvaneScrollArea, AViewOfWholeRowsShowsWholeRowsAtEveryStop) {
    CorvaneScrollArea view(rowsOfHeights({40, 30, 44, 30, 30}), CorvaneScrollArea::Rows::wholeOnly);
    EXPECT_EQ(view.minimumSizeHint().height(), 8 + 40);
    struct Case {
        int height;
        // The row at the top edge at the end.
        int lastTop;
    };
    // Rows at 8, 52, 86, 134, 168; the content ends at 198.
    for (const Case c : {Case{48, 168}, Case{100, 134}, Case{90, 134}, Case{130, 86}}) {
        SCOPED_TRACE(c.height);
        view.resize(200, c.height);
        view.show();
        settle();
        QScrollBar *bar = view.verticalScrollBar();
        const std::vector<int> stops = view.stops();
        ASSERT_FALSE(stops.empty());
        EXPECT_EQ(stops.back(), c.lastTop);
        EXPECT_EQ(bar->maximum(), c.lastTop);
        for (const int stop : stops) {
            bar->setValue(stop);
            settle();
            const std::vector<QRect> whole = view.rowsInView();
            ASSERT_FALSE(whole.empty()) << "at " << stop;
            // Nothing left out at the top but what lies above the first row.
            EXPECT_LE(whole.front().top() - stop, 8) << "at " << stop;
        }
        // The end: the last row in view, the band beside it below it.
        EXPECT_EQ(view.rowsInView().back().bottom() + 1, 198);
        EXPECT_EQ(view.shownBand().top(), 0);
    }
}

// A content that wraps is as tall as it is at the view's whole width: the indicator shows only
// where it is taller than the view at that width. Shown, it takes width; the content, wrapped
// again into the narrower width, must not keep it once the view is tall enough.
TEST(CorvaneScrollArea, TheIndicatorShowsOnlyWhereTheContentAtTheWholeWidthDoesNotFit) {
    auto *content = new QWidget;
    auto *rows = new QVBoxLayout(content);
    rows->setContentsMargins(0, 0, 0, 0);
    auto *text = new QLabel(QStringLiteral("Words enough for a line that the indicator breaks"));
    text->setWordWrap(true);
    rows->addWidget(text);
    // The least width the text takes one line at: a point narrower, it takes two.
    const int oneLine = content->heightForWidth(2000);
    int width = 2000;
    while (content->heightForWidth(width - 1) == oneLine) {
        --width;
    }
    ASSERT_GT(content->heightForWidth(width - 8), oneLine);
    CorvaneScrollArea view(content);
    view.show();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        view.resize(width, oneLine - 1);
        settle();
        EXPECT_TRUE(view.verticalScrollBar()->isVisible());
        view.resize(width, oneLine);
        settle();
        EXPECT_FALSE(view.verticalScrollBar()->isVisible());
        EXPECT_EQ(view.viewport()->width(), width);
        EXPECT_EQ(text->height(), oneLine);
    }
}

} // namespace
