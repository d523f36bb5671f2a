#include "designkit/CorvaneToggle.h"

#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// The kit's switch: an outlined box that stands out from the dark glass, its tick an image the
// kit carries.
TEST(CorvaneToggle, IsAnOutlinedBoxTickedInTheAccentWhenOn) {
    QCheckBox box(QStringLiteral("Include current screenshot"));
    corvaneToggle(&box);
    const QString style = box.styleSheet();
    EXPECT_TRUE(style.contains(QStringLiteral("QCheckBox::indicator {")));
    EXPECT_TRUE(style.contains(QStringLiteral("border: 1px solid")));
    EXPECT_EQ(box.cursor().shape(), Qt::PointingHandCursor);

    const QString tick = QStringLiteral(":/corvane/controls/ToggleCheck.svg");
    ASSERT_TRUE(style.contains(tick));
    QSvgRenderer renderer(tick);
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(12, 12, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    int lit = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            lit += qAlpha(drawn.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 8);
}

} // namespace
