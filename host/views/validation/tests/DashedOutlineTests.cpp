#include "host/views/validation/DashedOutline.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace tandrel {
namespace {

// The lengths of the inked and of the blank runs along one row, leaving out the runs cut by
// the ends of the scanned stretch.
struct Runs {
    std::vector<int> inked;
    std::vector<int> blank;
};

Runs runsAlong(const QImage &image, int row, int from, int to) {
    Runs runs;
    bool inked = qAlpha(image.pixel(from, row)) >= 128;
    int length = 0;
    bool first = true;
    for (int x = from; x < to; ++x) {
        const bool here = qAlpha(image.pixel(x, row)) >= 128;
        if (here == inked) {
            ++length;
            continue;
        }
        if (!first) {
            (inked ? runs.inked : runs.blank).push_back(length);
        }
        first = false;
        inked = here;
        length = 1;
    }
    return runs;
}

// The dashes are as long as the gaps between them, as the drop zones ask: the pen's ends do
// not lengthen them.
TEST(DashedOutline, DrawsDashesAndGapsOfTheGivenLength) {
    for (const double dash : {5.0, 6.0}) {
        SCOPED_TRACE(dash);
        QImage image(400, 60, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            strokeDashedRoundedInside(painter, QRectF(image.rect()), 8, Qt::white, 1.5, dash);
        }
        // Along the top edge, away from the corners.
        const Runs runs = runsAlong(image, 0, 20, 380);
        ASSERT_GE(runs.inked.size(), 10u);
        ASSERT_GE(runs.blank.size(), 10u);
        for (const int length : runs.inked) {
            EXPECT_NEAR(length, dash, 1.0);
        }
        for (const int length : runs.blank) {
            EXPECT_NEAR(length, dash, 1.0);
        }
    }
}

} // namespace
} // namespace tandrel
