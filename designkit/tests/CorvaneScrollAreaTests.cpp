#include "designkit/CorvaneScrollArea.h"
#include "designkit/CorvaneScrollIndicators.h"

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

} // namespace
