// Texts cut short with "…", and the pop-up menu button that shows its choices that way.
#include "designkit/CorvaneElidingComboBox.h"
#include "designkit/TextElision.h"

#include <QAbstractItemView>
#include <QFontMetricsF>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

const QChar ellipsis(0x2026);

TEST(TextElision, CutsAtTheEndWithoutABlankBeforeTheEllipsis) {
    const QFontMetricsF metrics{QFont()};
    const QString field = QString::fromUtf8("Stacked Layers \u2014 Reel/File + Frame # Block");
    // The widths at which Qt's own cut ends in a blank before "…".
    int blanks = 0;
    for (double width = 10; width < metrics.horizontalAdvance(field); width += 1) {
        const QString qt = metrics.elidedText(field, Qt::ElideRight, width);
        const QString cut = TextElision::elidedRight(metrics, field, width);
        SCOPED_TRACE(cut.toStdString());
        blanks += qt.endsWith(QStringLiteral(" ") + ellipsis) ? 1 : 0;
        EXPECT_FALSE(cut.endsWith(QStringLiteral(" ") + ellipsis));
        // As Qt's own cut: within the width, to a part of a point.
        EXPECT_LT(metrics.horizontalAdvance(cut), width + 1);
        if (!cut.isEmpty()) {
            EXPECT_TRUE(cut.endsWith(ellipsis));
            EXPECT_TRUE(field.startsWith(cut.chopped(1)));
        }
    }
    EXPECT_GT(blanks, 0) << "the table should reach a cut that Qt ends in a blank";
    // What fits stays whole.
    EXPECT_EQ(TextElision::elidedRight(metrics, field, 1e6), field);
}

TEST(CorvaneElidingComboBox, AVeryLongChoiceIsCutInTheButtonAndInItsMenu) {
    CorvaneElidingComboBox box;
    const QString name = QString(616, QLatin1Char('N'));
    box.addItems({QStringLiteral("Conform"), name});
    box.setCurrentIndex(1);
    box.resize(220, box.sizeHint().height());
    box.show();
    EXPECT_TRUE(box.shownText().endsWith(ellipsis));
    // The menu: as wide as the longest choice up to its bound, never narrower than the button.
    EXPECT_EQ(box.popupWidth(), CorvaneElidingComboBox::maximumPopupWidth);
    box.showPopup();
    QWidget *menu = box.view()->window();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->width(), CorvaneElidingComboBox::maximumPopupWidth);
    box.hidePopup();

    // Short choices: the menu is the button's width.
    CorvaneElidingComboBox shortChoices;
    shortChoices.addItems({QStringLiteral("A"), QStringLiteral("B")});
    shortChoices.resize(200, shortChoices.sizeHint().height());
    EXPECT_EQ(shortChoices.popupWidth(), 200);
}

} // namespace
