#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneButtonStyle.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneGlassBackground.h"
#include "designkit/CorvaneSlider.h"

#include "TestSupport.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <vector>

using namespace corvane;
namespace Design = corvane::CorvaneDesign;

TEST(CorvaneDesign, ConstantsInPoints) {
    struct Case {
        const char *name;
        double value;
        double expected;
    };
    const std::vector<Case> cases = {
        {"CornerRadius.panel", Design::CornerRadius::panel, 14},
        {"CornerRadius.card", Design::CornerRadius::card, 10},
        {"CornerRadius.button", Design::CornerRadius::button, 8},
        {"CornerRadius.thumbnail", Design::CornerRadius::thumbnail, 8},
        {"DotSize.dense", Design::DotSize::dense, 6},
        {"DotSize.standard", Design::DotSize::standard, 8},
        {"Spacing.tight", Design::Spacing::tight, 4},
        {"Spacing.standard", Design::Spacing::standard, 8},
        {"Spacing.comfortable", Design::Spacing::comfortable, 12},
        {"Spacing.generous", Design::Spacing::generous, 16},
        {"IconSize.small", Design::IconSize::small, 12},
        {"IconSize.standard", Design::IconSize::standard, 14},
        {"IconSize.medium", Design::IconSize::medium, 16},
        {"IconSize.large", Design::IconSize::large, 20},
        {"Layout.leftSidebar", Design::Layout::leftSidebar, 360},
        {"Layout.rightSidebar", Design::Layout::rightSidebar, 330},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.value, c.expected) << c.name;
    }
}

TEST(CorvaneDesign, ElevationsCastOneBlackShadowEach) {
    struct Case {
        Design::Elevation elevation;
        double opacity;
        double radius;
        double offsetY;
    };
    const std::vector<Case> cases = {
        {Design::Elevation::card, 0.2, 4, 1},
        {Design::Elevation::panel, 0.3, 10, 3},
        {Design::Elevation::floating, 0.4, 20, 8},
    };
    ASSERT_EQ(Design::Elevation::allCases.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(Design::Elevation::allCases[i], c.elevation);
        const Shadow shadow = c.elevation.shadow();
        EXPECT_TRUE(sameColour(shadow.color, {0, 0, 0, c.opacity}));
        EXPECT_EQ(shadow.radius, c.radius);
        EXPECT_EQ(shadow.offset, QPointF(0, c.offsetY));

        QWidget card;
        corvaneElevation(&card, c.elevation);
        const auto *effect = qobject_cast<QGraphicsDropShadowEffect *>(card.graphicsEffect());
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->color(), shadow.color);
        EXPECT_EQ(effect->offset(), shadow.offset);
    }
}

TEST(CorvaneGlass, LayersBackToFront) {
    const QColor hairline = withOpacity(Color::white(), 0.08);
    const QColor compactHairline = withOpacity(Color::white(), 0.10);
    struct Case {
        const char *form;
        GlassLayers layers;
        double cornerRadius;
        double tint;
        std::optional<QColor> border;
    };
    const std::vector<Case> cases = {
        {"glass", CorvaneGlassBackground::layers(14, 0.4), 14, 0.4, hairline},
        // At opacity 0 the material and the hairline remain.
        {"glass, clear tint", CorvaneGlassBackground::layers(14, 0), 14, 0, hairline},
        {"compact", CorvaneGlassBackgroundCompact::layers(10, 0.25), 10, 0.25, compactHairline},
        {"compact, clear tint", CorvaneGlassBackgroundCompact::layers(10, 0), 10, 0,
         compactHairline},
        {"edge to edge", CorvaneGlassBackgroundEdgeToEdge::layers(0.6), 0, 0.6, std::nullopt},
        {"edge to edge, clear tint", CorvaneGlassBackgroundEdgeToEdge::layers(0), 0, 0,
         std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.form);
        EXPECT_EQ(c.layers.material, CorvaneMaterial::ultraThin);
        EXPECT_GT(c.layers.material.fill().alpha(), 0);
        EXPECT_TRUE(sameColour(c.layers.tint, {0, 0, 0, c.tint}));
        EXPECT_EQ(c.layers.cornerRadius, c.cornerRadius);
        EXPECT_EQ(c.layers.border, c.border);
    }
}

TEST(CorvaneGlass, WrapperTakesThePlaceOfPlacedContent) {
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *above = new QLabel(QStringLiteral("above"));
    auto *content = new QLabel(QStringLiteral("content"));
    auto *below = new QLabel(QStringLiteral("below"));
    layout->addWidget(above);
    layout->addWidget(content);
    layout->addWidget(below);

    CorvaneGlassBackground *glass = corvaneGlass(content);
    EXPECT_EQ(layout->indexOf(glass), 1);
    EXPECT_EQ(layout->indexOf(content), -1);
    EXPECT_EQ(content->parentWidget(), glass);
    EXPECT_EQ(glass->parentWidget(), &window);
    EXPECT_EQ(glass->glassLayers(),
              CorvaneGlassBackground::layers(Design::CornerRadius::panel, 0.3));
}

TEST(CorvaneButtonStyle, LooksByActivityAndPress) {
    const QColor clear = Color::clear();
    struct Case {
        bool isActive;
        bool isPressed;
        QColor fill;
        double border;
        double opacity;
    };
    const std::vector<Case> cases = {
        {false, false, clear, 0.08, 1.0},
        {false, true, clear, 0.15, 0.8},
        {true, false, Color::corvaneAccentBackground(), 0.08, 1.0},
        // Pressed while active: the accent stays, the border strengthens, the whole dims.
        {true, true, Color::corvaneAccentBackground(), 0.15, 0.8},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "active " << c.isActive << " pressed " << c.isPressed);
        const ButtonLook look = CorvaneButtonStyle{c.isActive}.look(c.isPressed);
        EXPECT_EQ(look.fill, c.fill);
        EXPECT_TRUE(sameColour(look.border, {1, 1, 1, c.border}));
        EXPECT_EQ(look.opacity, c.opacity);
    }

    const auto icon = CorvaneIconButtonStyle::corvaneIcon();
    EXPECT_EQ(icon.size, 32);
    EXPECT_EQ(icon.look(true).fill, Color::corvaneSelection());
    EXPECT_EQ(icon.look(false).fill, clear);
    EXPECT_EQ(icon.look(true).border, icon.look(false).border);
    EXPECT_EQ(icon.look(true).opacity, 0.8);
}

TEST(CorvaneButtonStyle, ButtonsTakeTheirPaddingAndSize) {
    CorvaneButton button(QStringLiteral("Detect"));
    const QFontMetrics metrics(CorvaneButtonStyle::font());
    EXPECT_EQ(button.sizeHint(), QSize(metrics.horizontalAdvance(QStringLiteral("Detect")) + 24,
                                       metrics.height() + 16));
    button.setSymbol(QStringLiteral("wand.and.stars"));
    EXPECT_GT(button.sizeHint().width(), metrics.horizontalAdvance(QStringLiteral("Detect")) + 24);

    CorvaneIconButton icon(QStringLiteral("gearshape"), {40});
    EXPECT_EQ(icon.sizeHint(), QSize(40, 40));
}

TEST(CorvaneButtonStyle, AWrappingTextTakesMoreLinesNeverMoreWidth) {
    const QFontMetrics metrics(CorvaneButtonStyle::font());
    const QString words = QStringLiteral("Interviews and B-Roll for the Director's Cut");
    const QString oneWord = QStringLiteral("Interviews_and_B-Roll_for_the_Directors_Cut");
    const int wrap = metrics.horizontalAdvance(words) / 2 + 10;
    for (const QString &text : {words, oneWord}) {
        CorvaneButton button(text);
        button.setWrapWidth(wrap);
        EXPECT_LE(button.sizeHint().width(), wrap + 24) << text.toStdString();
        EXPECT_GE(button.sizeHint().height(), 2 * metrics.height() + 16) << text.toStdString();
        EXPECT_EQ(button.text(), text);
    }
    // Text that fits stays on its line; without a wrap width nothing wraps.
    CorvaneButton fits(QStringLiteral("Detect"));
    fits.setWrapWidth(wrap);
    EXPECT_EQ(fits.sizeHint(), CorvaneButton(QStringLiteral("Detect")).sizeHint());
    EXPECT_EQ(CorvaneButton(words).sizeHint().height(), metrics.height() + 16);
}

TEST(CorvaneSlider, TheKnobIsRoundOnAnAccentTrack) {
    QSlider slider;
    corvaneSlider(&slider);
    EXPECT_EQ(slider.orientation(), Qt::Horizontal);
    slider.setRange(0, 20);
    slider.setValue(10);
    slider.resize(200, 24);
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = option.sliderValue = slider.value();
    option.subControls = QStyle::SC_All;
    const QRect knob = slider.style()->subControlRect(QStyle::CC_Slider, &option,
                                                      QStyle::SC_SliderHandle, &slider);
    ASSERT_GE(knob.width(), 14);
    // The slider alone, over nothing.
    QImage drawn(slider.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    slider.render(&drawn, {}, {}, QWidget::DrawChildren);
    const QColor centre = drawn.pixelColor(knob.center());
    EXPECT_EQ(centre.alpha(), 255);
    EXPECT_GT(centre.lightness(), 200) << "a light knob";
    // Round: nothing at its corners.
    for (const QPoint corner :
         {knob.topLeft(), knob.topRight(), knob.bottomLeft(), knob.bottomRight()}) {
        EXPECT_LT(drawn.pixelColor(corner).alpha(), 64) << corner.x() << "," << corner.y();
    }
    // The track up to the knob in the accent colour.
    const QColor before = drawn.pixelColor(knob.left() - 20, knob.center().y());
    EXPECT_GT(before.blue(), before.red());
}
