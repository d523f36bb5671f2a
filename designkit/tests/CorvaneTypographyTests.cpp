#include "designkit/Color.h"
#include "designkit/CorvaneFontWeight.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"

#include "TestSupport.h"

#include <QFontInfo>
#include <QLabel>

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using namespace corvane;

namespace {

struct FontconfigMatch {
    QString family;
    int weight = -1;
};

// What fontconfig answers for a family name, as fc-match does.
FontconfigMatch fontconfigMatch(const QString &family) {
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(),
                                                                    &FcPatternDestroy);
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8 *>(name.constData()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> match(
        FcFontMatch(nullptr, pattern.get(), &result), &FcPatternDestroy);
    FontconfigMatch found;
    FcChar8 *matched = nullptr;
    if (match && FcPatternGetString(match.get(), FC_FAMILY, 0, &matched) == FcResultMatch) {
        found.family = QString::fromUtf8(reinterpret_cast<const char *>(matched));
        FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &found.weight);
    }
    return found;
}

} // namespace

TEST(CorvaneFontWeight, NamesTheFacesOfTheFamily) {
    struct Case {
        CorvaneFontWeight weight;
        const char *fontName;
        QFont::Weight qtWeight;
        int fontconfigWeight;
    };
    const std::vector<Case> cases = {
        {CorvaneFontWeight::regular, "AvenirNext-Regular", QFont::Normal, FC_WEIGHT_REGULAR},
        {CorvaneFontWeight::medium, "AvenirNext-Medium", QFont::Medium, FC_WEIGHT_MEDIUM},
        {CorvaneFontWeight::demiBold, "AvenirNext-DemiBold", QFont::DemiBold, FC_WEIGHT_DEMIBOLD},
        {CorvaneFontWeight::bold, "AvenirNext-Bold", QFont::Bold, FC_WEIGHT_BOLD},
        {CorvaneFontWeight::heavy, "AvenirNext-Heavy", QFont::ExtraBold, FC_WEIGHT_EXTRABOLD},
    };
    ASSERT_EQ(CorvaneFontWeight::allCases.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(c.fontName);
        EXPECT_EQ(CorvaneFontWeight::allCases[i], c.weight);
        EXPECT_EQ(c.weight.fontName(), QLatin1String(c.fontName));
        EXPECT_EQ(c.weight.qtWeight(), c.qtWeight);

        // The alias the kit loads lands every face on Lato at its weight, for fontconfig...
        const FontconfigMatch match = fontconfigMatch(c.weight.fontName());
        EXPECT_EQ(match.family, QLatin1String("Lato"));
        EXPECT_EQ(match.weight, c.fontconfigWeight);
        // ... and for Qt, whose fonts of the kit say the face name and the weight.
        const QFontInfo info(corvaneFont(14, c.weight));
        EXPECT_EQ(info.family(), QLatin1String("Lato"));
        EXPECT_EQ(info.weight(), c.qtWeight);
    }
}

TEST(CorvaneFonts, DemiBoldFaceIsLatoSemiboldAndPointsArePixels) {
    const QFontInfo info(corvaneFont(14, CorvaneFontWeight::demiBold));
    EXPECT_EQ(info.family(), QLatin1String("Lato"));
    EXPECT_EQ(info.weight(), 600);
    EXPECT_EQ(info.styleName(), QLatin1String("Semibold"));
    // A kit point is a pixel at 96 dpi, the offscreen screen's density.
    EXPECT_EQ(info.pixelSize(), 14);
    EXPECT_DOUBLE_EQ(kitPoints(corvaneFont(16.8, CorvaneFontWeight::regular)), 16.8);
    // The family name the tokens keep resolves too.
    EXPECT_EQ(fontconfigMatch(QStringLiteral("Avenir Next")).family, QLatin1String("Lato"));
}

TEST(CorvaneTextStyle, RampHasItsFacesSizesAndColours) {
    struct Case {
        CorvaneTextStyle style;
        void (*apply)(QWidget *);
        CorvaneFontWeight weight;
        double size;
        FontTextStyle relativeTo;
        std::optional<QColor> foreground;
    };
    using S = CorvaneTextStyle;
    using W = CorvaneFontWeight;
    using T = FontTextStyle;
    const QColor secondary = Color::corvaneTextSecondary();
    const QColor tertiary = Color::corvaneTextTertiary();
    // clang-format off
    const std::vector<Case> cases = {
        {S::largeTitle, corvaneLargeTitle, W::demiBold, 22, T::title,       std::nullopt},
        {S::title,      corvaneTitle,      W::demiBold, 20, T::title2,      std::nullopt},
        {S::headline,   corvaneHeadline,   W::demiBold, 18, T::headline,    std::nullopt},
        {S::body,       corvaneBody,       W::regular,  17, T::body,        std::nullopt},
        {S::bodySmall,  corvaneBodySmall,  W::regular,  16, T::callout,     std::nullopt},
        {S::control,    corvaneControl,    W::medium,   14, T::subheadline, std::nullopt},
        {S::label,      corvaneLabel,      W::medium,   14, T::footnote,    std::nullopt},
        {S::caption,    corvaneCaption,    W::regular,  13, T::caption,     secondary},
        {S::micro,      corvaneMicro,      W::regular,  12, T::caption2,    tertiary},
    };
    // clang-format on
    ASSERT_EQ(CorvaneTextStyle::allCases.size(), cases.size());
    const QColor inherited(10, 200, 30);
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(CorvaneTextStyle::allCases[i], c.style);
        EXPECT_EQ(c.style.weight(), c.weight);
        EXPECT_EQ(c.style.size(), c.size);
        EXPECT_EQ(c.style.relativeTo(), c.relativeTo);
        EXPECT_EQ(c.style.foreground(), c.foreground);

        QWidget parent;
        corvaneForeground(&parent, inherited);
        auto *label = new QLabel(QStringLiteral("Reel 12"), &parent);
        c.apply(label);
        EXPECT_EQ(label->font().families().value(0), c.weight.fontName());
        EXPECT_EQ(label->font().weight(), c.weight.qtWeight());
        EXPECT_DOUBLE_EQ(kitPoints(label->font()), c.size);
        // Styles without a colour leave the text the colour it inherits.
        EXPECT_EQ(foregroundOf(label), c.foreground.value_or(inherited));
    }
}

TEST(CorvaneTextStyle, ColourSetAfterTheStyleWins) {
    QLabel label(QStringLiteral("00:00:10:00"));
    corvaneMicro(&label);
    corvaneForeground(&label, Color::corvaneAccent());
    EXPECT_EQ(foregroundOf(&label), Color::corvaneAccent());
    EXPECT_EQ(label.font().families().value(0), QLatin1String("AvenirNext-Regular"));
}
