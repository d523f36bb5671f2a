// The design kit's sheets: its tokens, type, buttons, glass, appearance presets, chips,
// badges and symbols, each on one page.
#include "tools/tandrel-screens/KitSheet.h"
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/Color.h"
#include "designkit/CorvaneAppearancePreset.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneChip.h"
#include "designkit/CorvaneCountBadge.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneGlassBackground.h"
#include "designkit/CorvaneInitialsBadge.h"
#include "designkit/CorvaneMaterial.h"
#include "designkit/CorvanePillBadge.h"
#include "designkit/CorvaneSectionHeader.h"
#include "designkit/CorvaneStatusDot.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"

#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <functional>

using namespace corvane;
using tandrel::screens::ScreenContext;
using tandrel::screens::ScreenRegistration;

namespace {

using tandrel::screens::kit::Backdrop;
using tandrel::screens::kit::Page;
using tandrel::screens::kit::text;
namespace Spacing = CorvaneDesign::Spacing;

QString number(double value) {
    return QString::number(value, 'g', 3);
}

QString rgbText(const QColor &colour) {
    return QStringLiteral("sRGB %1 %2 %3")
        .arg(number(colour.redF()), number(colour.greenF()), number(colour.blueF()));
}

// A square of colour over a checkerboard, so that translucent tokens show what they are.
class Swatch : public QWidget {
public:
    explicit Swatch(const QColor &colour) : colour_(colour) { setFixedSize(44, 44); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath clip;
        clip.addRoundedRect(QRectF(rect()), 8, 8);
        painter.setClipPath(clip);
        const int cell = 11;
        for (int y = 0; y < height(); y += cell) {
            for (int x = 0; x < width(); x += cell) {
                painter.fillRect(x, y, cell, cell,
                                 ((x + y) / cell) % 2 == 0 ? Color::corvaneBase()
                                                           : Color::sRGB(0.2, 0.21, 0.24));
            }
        }
        painter.fillRect(rect(), colour_);
        strokeRoundedInside(painter, rect(), 8, Color::corvaneDivider());
    }

private:
    QColor colour_;
};

std::unique_ptr<QWidget> tokensColours(const ScreenContext &) {
    auto page =
        std::make_unique<Page>(QStringLiteral("Colour tokens"),
                               QStringLiteral("Each swatch over a checkerboard of the base colour, "
                                              "so translucent tokens show their strength."));
    auto *grid = page->section<QGridLayout>(QStringLiteral("Tokens"));
    grid->setHorizontalSpacing(Spacing::generous);
    grid->setVerticalSpacing(Spacing::comfortable);
    const QString white = QStringLiteral("white × %1");
    const QString accent = QStringLiteral("corvaneAccent × %1");
    const QString primary = QStringLiteral("primary × %1");
    const QString red = QStringLiteral("red × %1");
    const std::vector<std::tuple<const char *, QColor, QString>> tokens = {
        {"corvaneBase", Color::corvaneBase(), rgbText(Color::corvaneBase())},
        {"corvaneSurface", Color::corvaneSurface(), rgbText(Color::corvaneSurface())},
        {"corvaneAccent", Color::corvaneAccent(), rgbText(Color::corvaneAccent())},
        {"cyanElectric", Color::cyanElectric(), rgbText(Color::cyanElectric())},
        {"timecodeBlue", Color::timecodeBlue(), rgbText(Color::timecodeBlue())},
        {"deepNavy", Color::deepNavy(), rgbText(Color::deepNavy())},
        {"vibrantBlue", Color::vibrantBlue(), rgbText(Color::vibrantBlue())},
        {"corvaneDivider", Color::corvaneDivider(), white.arg(0.08)},
        {"corvaneHover", Color::corvaneHover(), primary.arg(0.05)},
        {"corvaneHoverSubtle", Color::corvaneHoverSubtle(), primary.arg(0.03)},
        {"corvaneChipFill", Color::corvaneChipFill(), white.arg(0.06)},
        {"corvaneCardFill", Color::corvaneCardFill(), white.arg(0.05)},
        {"corvaneCardFillRaised", Color::corvaneCardFillRaised(), white.arg(0.10)},
        {"corvaneTextSecondary", Color::corvaneTextSecondary(), white.arg(0.7)},
        {"corvaneTextTertiary", Color::corvaneTextTertiary(), white.arg(0.5)},
        {"corvaneSelection", Color::corvaneSelection(), accent.arg(0.25)},
        {"corvaneAccentBackground", Color::corvaneAccentBackground(), accent.arg(0.2)},
        {"corvaneAccentStroke", Color::corvaneAccentStroke(), accent.arg(0.5)},
        {"corvaneAccentStrokeFaint", Color::corvaneAccentStrokeFaint(), accent.arg(0.3)},
        {"corvaneRecording", Color::corvaneRecording(), QStringLiteral("red")},
        {"corvaneRecordingGlow", Color::corvaneRecordingGlow(), red.arg(0.3)},
        {"primary", Color::primary(), QStringLiteral("the palette's text colour")},
        {"red", Color::red(), rgbText(Color::red())},
        {"orange", Color::orange(), rgbText(Color::orange())},
        {"yellow", Color::yellow(), rgbText(Color::yellow())},
        {"green", Color::green(), rgbText(Color::green())},
    };
    constexpr int columns = 4;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const auto &[name, colour, definition] = tokens[i];
        auto *tile = new QWidget;
        auto *row = new QHBoxLayout(tile);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(Spacing::comfortable);
        row->addWidget(new Swatch(colour));
        auto *words = new QVBoxLayout;
        words->setSpacing(2);
        words->addStretch(1);
        words->addWidget(text(QString::fromLatin1(name), corvaneLabel));
        words->addWidget(text(definition, corvaneMicro));
        words->addStretch(1);
        row->addLayout(words, 1);
        grid->addWidget(tile, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
    }
    page->finish();
    return page;
}

std::unique_ptr<QWidget> typeRamp(const ScreenContext &) {
    auto page = std::make_unique<Page>(
        QStringLiteral("Type ramp"),
        QStringLiteral(
            "The nine text styles of the kit's face; \"Avenir Next\" is an alias of Lato here."));
    auto *grid = page->section<QGridLayout>(QStringLiteral("Styles"));
    grid->setHorizontalSpacing(Spacing::generous);
    grid->setVerticalSpacing(Spacing::comfortable);
    const std::vector<std::pair<const char *, void (*)(QWidget *)>> styles = {
        {"corvaneLargeTitle", corvaneLargeTitle}, {"corvaneTitle", corvaneTitle},
        {"corvaneHeadline", corvaneHeadline},     {"corvaneBody", corvaneBody},
        {"corvaneBodySmall", corvaneBodySmall},   {"corvaneControl", corvaneControl},
        {"corvaneLabel", corvaneLabel},           {"corvaneCaption", corvaneCaption},
        {"corvaneMicro", corvaneMicro},
    };
    for (size_t i = 0; i < styles.size(); ++i) {
        const CorvaneTextStyle style = CorvaneTextStyle::allCases[i];
        const int row = static_cast<int>(i);
        grid->addWidget(text(QString::fromLatin1(styles[i].first), corvaneLabel), row, 0);
        grid->addWidget(
            text(QStringLiteral("%1 · %2 pt").arg(style.weight().fontName()).arg(style.size()),
                 corvaneMicro),
            row, 1);
        grid->addWidget(text(QStringLiteral("Conform · Reel A012 · 01:00:04:12"), styles[i].second),
                        row, 2);
    }
    grid->setColumnStretch(2, 1);

    auto *faces = page->section<QGridLayout>(QStringLiteral("Faces and what they resolve to"));
    faces->setHorizontalSpacing(Spacing::generous);
    faces->setVerticalSpacing(Spacing::standard);
    for (size_t i = 0; i < CorvaneFontWeight::allCases.size(); ++i) {
        const CorvaneFontWeight weight = CorvaneFontWeight::allCases[i];
        const QFont font = corvaneFont(16, weight);
        const QFontInfo resolved(font);
        auto *sample = new QLabel(QStringLiteral("Scene 4, take 2 — 23.976 fps"));
        sample->setFont(font);
        const int row = static_cast<int>(i);
        faces->addWidget(text(weight.fontName(), corvaneLabel), row, 0);
        faces->addWidget(text(QStringLiteral("%1 %2, weight %3")
                                  .arg(resolved.family(), resolved.styleName())
                                  .arg(resolved.weight()),
                              corvaneMicro),
                         row, 1);
        faces->addWidget(sample, row, 2);
    }
    faces->setColumnStretch(2, 1);
    page->finish();
    return page;
}

std::unique_ptr<QWidget> buttonsStates(const ScreenContext &) {
    auto page =
        std::make_unique<Page>(QStringLiteral("Buttons"),
                               QStringLiteral("The kit's text and icon buttons in every state; "
                                              "pressing dims to 0.8 and strengthens the border."));
    auto *grid = page->section<QGridLayout>(QStringLiteral("States"));
    grid->setHorizontalSpacing(Spacing::generous + Spacing::standard);
    grid->setVerticalSpacing(Spacing::generous);
    const QStringList states = {QStringLiteral("Normal"), QStringLiteral("Pressed"),
                                QStringLiteral("Active"), QStringLiteral("Active, pressed"),
                                QStringLiteral("Disabled")};
    for (int column = 0; column < states.size(); ++column) {
        grid->addWidget(text(states[column], corvaneMicro), 0, column + 1, Qt::AlignHCenter);
    }
    struct Row {
        const char *name;
        std::function<QAbstractButton *()> make;
    };
    const std::vector<Row> rows = {
        {"Text and symbol",
         [] {
             auto *button = new CorvaneButton(QStringLiteral("Detect open libraries"));
             button->setSymbol(QStringLiteral("wand.and.stars"));
             return button;
         }},
        {"Text", [] { return new CorvaneButton(QStringLiteral("Export")); }},
        {"Icon, 32", [] { return new CorvaneIconButton(QStringLiteral("gearshape")); }},
        {"Icon, 24",
         [] {
             auto *button = new CorvaneIconButton(QStringLiteral("xmark"), {24});
             button->setSymbolFont(11, QFont::DemiBold);
             return button;
         }},
    };
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        grid->addWidget(text(QString::fromLatin1(rows[row].name), corvaneLabel), row + 1, 0);
        for (int column = 0; column < states.size(); ++column) {
            QAbstractButton *button = rows[row].make();
            const bool active = column == 2 || column == 3;
            button->setDown(column == 1 || column == 3);
            button->setEnabled(column != 4);
            if (auto *textButton = qobject_cast<CorvaneButton *>(button)) {
                textButton->setActive(active);
            } else if (active) {
                continue; // icon buttons have no active form
            }
            grid->addWidget(button, row + 1, column + 1, Qt::AlignCenter);
        }
    }
    grid->setColumnStretch(states.size() + 1, 1);
    page->finish();
    return page;
}

QWidget *glassLabel(const QString &title, const QString &about) {
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(Spacing::generous, Spacing::comfortable, Spacing::generous,
                               Spacing::comfortable);
    layout->addWidget(text(title, corvaneHeadline));
    layout->addWidget(text(about, corvaneCaption));
    layout->addStretch(1);
    return content;
}

std::unique_ptr<QWidget> glassElevation(const ScreenContext &) {
    auto backdrop = std::make_unique<Backdrop>();
    auto *layout = new QVBoxLayout(backdrop.get());
    layout->setContentsMargins(0, 0, 0, 24);
    layout->setSpacing(24);
    layout->addWidget(corvaneGlassEdgeToEdge(
        glassLabel(
            QStringLiteral("Glass, edge to edge"),
            QStringLiteral("Material and a black tint at 0.3, no border: a window's header band")),
        0.3));
    auto *glass = new QHBoxLayout;
    glass->setContentsMargins(24, 0, 24, 0);
    glass->setSpacing(24);
    glass->addWidget(corvaneGlass(
        glassLabel(QStringLiteral("Glass"), QStringLiteral("Radius 14, tint 0.3, hairline 0.08")),
        14, 0.3));
    glass->addWidget(
        corvaneGlass(glassLabel(QStringLiteral("Glass, tint 0"),
                                QStringLiteral("The material and the hairline remain")),
                     14, 0));
    glass->addWidget(corvaneGlassCompact(
        glassLabel(QStringLiteral("Compact"), QStringLiteral("Radius 10, tint 0.5, hairline 0.10")),
        10, 0.5));
    layout->addLayout(glass, 3);

    auto *elevations = new QHBoxLayout;
    elevations->setContentsMargins(24, 0, 24, 16);
    elevations->setSpacing(40);
    const std::vector<std::pair<CorvaneDesign::Elevation, const char *>> levels = {
        {CorvaneDesign::Elevation::card, "Card"},
        {CorvaneDesign::Elevation::panel, "Panel"},
        {CorvaneDesign::Elevation::floating, "Floating"}};
    for (const auto &[level, name] : levels) {
        const Shadow shadow = level.shadow();
        auto *card =
            corvaneGlassCompact(glassLabel(QStringLiteral("Elevation: %1").arg(QLatin1String(name)),
                                           QStringLiteral("Black %1, radius %2, offset %3")
                                               .arg(shadow.color.alphaF(), 0, 'g', 2)
                                               .arg(shadow.radius)
                                               .arg(shadow.offset.y())),
                                CorvaneDesign::CornerRadius::card, 0.85);
        corvaneElevation(card, level);
        elevations->addWidget(card);
    }
    layout->addLayout(elevations, 2);
    return backdrop;
}

// A small window dressed in a preset: glass under the base colour at the base darkness, the
// sidebar as a card a little darker, a selected row in the selection colour.
class PresetWindow : public QWidget {
public:
    explicit PresetWindow(const CorvaneAppearancePreset &preset) : preset_(preset) {
        setMinimumSize(300, 200);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath window;
        window.addRoundedRect(QRectF(rect()), 12, 12);
        painter.setClipPath(window);
        const QColor base = Color::fromHex(preset_.baseColorHex).value_or(Color::black());
        const QColor sidebar =
            Color::fromHex(preset_.sidebarColorHex.value_or(preset_.baseColorHex)).value_or(base);
        painter.fillRect(rect(), CorvaneMaterial(CorvaneMaterial::hudWindow).fill());
        painter.fillRect(rect(), withOpacity(base, preset_.baseDarkness));

        const QRectF card(8, 8, width() * 0.38, height() - 16);
        fillRounded(painter, card, 14,
                    withOpacity(sidebar, std::min(1.0, preset_.baseDarkness +
                                                           preset_.sidebarDarknessDelta)));
        strokeRoundedInside(painter, card, 14, withOpacity(Color::white(), 0.06));
        const QColor selection =
            preset_.selectionColorHex
                ? Color::fromHex(*preset_.selectionColorHex).value_or(Color::corvaneSelection())
                : Color::corvaneSelection();
        for (int row = 0; row < 5; ++row) {
            const QRectF line(card.left() + 8, card.top() + 16 + row * 26, card.width() - 16, 20);
            if (row == 1) {
                fillRounded(painter, line, 6, selection);
            }
            fillRounded(painter,
                        QRectF(line.left() + 8, line.center().y() - 3,
                               line.width() * (row % 2 ? 0.6 : 0.75), 6),
                        3, withOpacity(Color::white(), row == 1 ? 0.85 : 0.35));
        }
        const QRectF content(card.right() + 16, 20, width() - card.right() - 32, height() - 40);
        for (int row = 0; row < 4; ++row) {
            fillRounded(painter,
                        QRectF(content.left(), content.top() + row * 22,
                               content.width() * (row == 0 ? 0.5 : 0.9), 8),
                        4, withOpacity(Color::white(), row == 0 ? 0.6 : 0.2));
        }
        painter.setClipping(false);
        strokeRoundedInside(painter, rect(), 12, withOpacity(Color::white(), 0.1));
    }

private:
    CorvaneAppearancePreset preset_;
};

std::unique_ptr<QWidget> appearancePresets(const ScreenContext &) {
    auto backdrop = std::make_unique<Backdrop>();
    auto *layout = new QVBoxLayout(backdrop.get());
    layout->setContentsMargins(24, 20, 24, 24);
    layout->setSpacing(Spacing::standard);
    layout->addWidget(text(QStringLiteral("Appearance presets"), corvaneLargeTitle));
    layout->addWidget(
        text(QStringLiteral(
                 "The built-in looks of the host's glass windows, each over the same desktop."),
             corvaneCaption));
    auto *row = new QHBoxLayout;
    row->setSpacing(24);
    for (const CorvaneAppearancePreset &preset : CorvaneAppearancePreset::builtIn()) {
        auto *column = new QVBoxLayout;
        column->setSpacing(Spacing::standard);
        auto *title = new QHBoxLayout;
        title->setSpacing(Spacing::standard);
        title->addWidget(text(preset.name, corvaneHeadline));
        if (preset == CorvaneAppearancePreset::saffraColors()) {
            title->addWidget(new CorvanePillBadge(QStringLiteral("default"), Color::corvaneAccent(),
                                                  CorvanePillBadgeStyle::solid));
        }
        title->addStretch(1);
        column->addLayout(title);
        column->addWidget(new PresetWindow(preset), 1);
        const auto absent = QStringLiteral("none");
        column->addWidget(text(QStringLiteral("id \"%1\" · base %2 at darkness %3")
                                   .arg(preset.id, preset.baseColorHex)
                                   .arg(preset.baseDarkness),
                               corvaneMicro));
        column->addWidget(text(QStringLiteral("sidebar %1, %2 darker · selection %3")
                                   .arg(preset.sidebarColorHex.value_or(absent))
                                   .arg(preset.sidebarDarknessDelta, 0, 'f', 2)
                                   .arg(preset.selectionColorHex.value_or(absent)),
                               corvaneMicro));
        row->addLayout(column, 1);
    }
    layout->addSpacing(Spacing::standard);
    layout->addLayout(row, 1);
    return backdrop;
}

std::unique_ptr<QWidget> chipsStyles(const ScreenContext &) {
    auto page = std::make_unique<Page>(
        QStringLiteral("Chips"),
        QStringLiteral("Every style, selected or not, enabled or disabled, at both sizes; with and "
                       "without symbol and trailing content."));
    const std::vector<std::pair<const char *, CorvaneChipStyle>> styles = {
        {"colored", CorvaneChipStyle::colored(Color::sRGB(0.85, 0.6, 0.32))},
        {"standard", CorvaneChipStyle::standard()},
        {"plain", CorvaneChipStyle::plain()},
        {"tabBare", CorvaneChipStyle::tabBare()},
    };
    const QStringList states = {QStringLiteral("Not selected"), QStringLiteral("Selected"),
                                QStringLiteral("Disabled"), QStringLiteral("Disabled, selected")};
    for (const auto &[size, sizeName] :
         {std::pair{CorvaneChipSize(CorvaneChipSize::compact), "Compact, padding 8 × 4"},
          std::pair{CorvaneChipSize(CorvaneChipSize::comfortable),
                    "Comfortable, padding 10 × 6"}}) {
        auto *grid = page->section<QGridLayout>(QString::fromUtf8(sizeName));
        grid->setHorizontalSpacing(Spacing::generous + Spacing::standard);
        grid->setVerticalSpacing(Spacing::comfortable);
        for (int column = 0; column < states.size(); ++column) {
            grid->addWidget(text(states[column], corvaneMicro), 0, column + 1);
        }
        for (int row = 0; row < static_cast<int>(styles.size()); ++row) {
            grid->addWidget(text(QString::fromLatin1(styles[row].first), corvaneLabel), row + 1, 0);
            for (int column = 0; column < states.size(); ++column) {
                const bool selected = column % 2 == 1;
                const bool disabled = column >= 2;
                auto *cell = new QHBoxLayout;
                cell->setSpacing(Spacing::standard);
                auto chip = [&](const char *label, std::optional<QString> icon, QWidget *trailing) {
                    return new CorvaneChip({.label = QString::fromLatin1(label),
                                            .icon = std::move(icon),
                                            .isSelected = selected,
                                            .style = styles[row].second,
                                            .size = size,
                                            .isDisabled = disabled,
                                            .trailing = trailing});
                };
                cell->addWidget(chip("16:9", std::nullopt, nullptr));
                cell->addWidget(chip("Reel", QStringLiteral("film"), nullptr));
                cell->addWidget(
                    chip("Roles", QStringLiteral("textformat"),
                         new CorvaneSymbolView(QStringLiteral("xmark"), 9, QFont::DemiBold)));
                cell->addStretch(1);
                grid->addLayout(cell, row + 1, column + 1);
            }
        }
        grid->setColumnStretch(states.size(), 1);
    }
    page->finish();
    return page;
}

std::unique_ptr<QWidget> badgesAll(const ScreenContext &) {
    auto page =
        std::make_unique<Page>(QStringLiteral("Badges and small components"),
                               QStringLiteral("Initials badges take a stable colour from the name; "
                                              "pills, dots, counts, headers and dividers."));

    auto *names = page->section<QHBoxLayout>(QStringLiteral("Initials badges, 36 points"));
    names->setSpacing(Spacing::generous);
    const QStringList people = {QString(),
                                QStringLiteral("a"),
                                QStringLiteral("Blue Sky"),
                                QStringLiteral("blue sky"),
                                QStringLiteral("north-west gate"),
                                QStringLiteral("reel.one"),
                                QStringLiteral("camera"),
                                QStringLiteral(". - ."),
                                QStringLiteral("Émile Zola")};
    for (const QString &person : people) {
        auto *column = new QVBoxLayout;
        column->setSpacing(Spacing::tight);
        column->addWidget(new CorvaneInitialsBadge(person, 36), 0, Qt::AlignHCenter);
        column->addWidget(text(person.isEmpty() ? QStringLiteral("(empty)") : person, corvaneMicro),
                          0, Qt::AlignHCenter);
        names->addLayout(column);
    }
    names->addStretch(1);

    auto *variants =
        page->section<QHBoxLayout>(QStringLiteral("Sizes 24 to 56, highlighted, tinted"));
    variants->setSpacing(Spacing::generous);
    for (const double size : {24.0, 32.0, 40.0, 56.0}) {
        variants->addWidget(new CorvaneInitialsBadge(QStringLiteral("Blue Sky"), size), 0,
                            Qt::AlignVCenter);
    }
    variants->addSpacing(Spacing::generous);
    variants->addWidget(
        new CorvaneInitialsBadge(QStringLiteral("reel.one"), 40, std::nullopt, true), 0,
        Qt::AlignVCenter);
    variants->addWidget(
        new CorvaneInitialsBadge(QStringLiteral("reel.one"), 40, Color::green(), true), 0,
        Qt::AlignVCenter);
    variants->addWidget(new CorvaneInitialsBadge(QStringLiteral("camera"), 40, Color::orange()), 0,
                        Qt::AlignVCenter);
    variants->addStretch(1);

    auto *pills = page->section<QHBoxLayout>(QStringLiteral("Pill badges, soft and solid"));
    pills->setSpacing(Spacing::standard);
    for (const auto style : {CorvanePillBadgeStyle::soft, CorvanePillBadgeStyle::solid}) {
        for (const auto &[label, tint] :
             std::vector<std::pair<const char *, QColor>>{{"beta", Color::corvaneAccent()},
                                                          {"built-in", Color::green()},
                                                          {"stale", Color::orange()},
                                                          {"failed", Color::red()}}) {
            pills->addWidget(new CorvanePillBadge(QString::fromLatin1(label), tint, style));
        }
        pills->addSpacing(Spacing::generous);
    }
    pills->addStretch(1);

    auto *dots = page->section<QHBoxLayout>(
        QStringLiteral("Status dots 6, 8 and 12, without and with glow; count badges"));
    dots->setSpacing(Spacing::comfortable);
    for (const bool glow : {false, true}) {
        for (const auto &colour :
             {Color::green(), Color::orange(), Color::red(), Color::corvaneAccent()}) {
            for (const double size :
                 {CorvaneDesign::DotSize::dense, CorvaneDesign::DotSize::standard, 12.0}) {
                dots->addWidget(new CorvaneStatusDot(colour, size, glow), 0, Qt::AlignVCenter);
            }
        }
        dots->addSpacing(Spacing::generous);
    }
    for (const auto &[count, tint] :
         std::vector<std::pair<qint64, QColor>>{{0, Color::corvaneTextSecondary()},
                                                {3, Color::corvaneAccent()},
                                                {-3, Color::red()},
                                                {1234, Color::green()}}) {
        dots->addWidget(new CorvaneCountBadge(count, tint), 0, Qt::AlignVCenter);
    }
    dots->addStretch(1);

    auto *list = page->section<QVBoxLayout>(QStringLiteral("Section headers and dividers"));
    auto *card = new QWidget;
    auto *rows = new QVBoxLayout(card);
    rows->setContentsMargins(0, Spacing::standard, 0, Spacing::standard);
    rows->setSpacing(Spacing::standard);
    const QStringList libraries = {QStringLiteral("Sample"), QStringLiteral("Feature — Reel 2"),
                                   QStringLiteral("Dailies")};
    for (int i = 0; i < libraries.size(); ++i) {
        if (i > 0) {
            rows->addWidget(new CorvaneDivider);
        }
        auto *row = new QHBoxLayout;
        row->setContentsMargins(Spacing::comfortable, 0, Spacing::comfortable, 0);
        row->addWidget(new CorvaneStatusDot(i == 2 ? Color::orange() : Color::green(),
                                            CorvaneDesign::DotSize::standard, i == 0));
        row->addWidget(text(libraries[i], corvaneBody), 1);
        row->addWidget(new CorvaneCountBadge(i * 7 + 2, Color::corvaneTextTertiary()));
        rows->addLayout(row);
    }
    list->addWidget(corvaneGlassCompact(card, CorvaneDesign::CornerRadius::card, 0.2));
    card->parentWidget()->setMaximumWidth(420);
    page->finish();
    return page;
}

std::unique_ptr<QWidget> symbolsAll(const ScreenContext &) {
    auto page = std::make_unique<Page>(
        QStringLiteral("Symbols"),
        QStringLiteral("Every symbol the views name, at 20 points in the text colour."));
    auto *grid = page->section<QGridLayout>(QStringLiteral("All symbols"));
    grid->setHorizontalSpacing(Spacing::comfortable);
    grid->setVerticalSpacing(Spacing::comfortable);
    const QStringList names = CorvaneSymbols::names();
    constexpr int columns = 5;
    for (int i = 0; i < names.size(); ++i) {
        auto *cell = new QHBoxLayout;
        cell->setSpacing(Spacing::standard);
        cell->addWidget(new CorvaneSymbolView(names[i], 20));
        cell->addWidget(text(names[i], corvaneMicro), 1);
        grid->addLayout(cell, i / columns, i % columns);
    }
    auto *weights = page->section<QHBoxLayout>(
        QStringLiteral("Weights, regular to heavy; a layered symbol in two colours"));
    weights->setSpacing(Spacing::generous);
    for (const CorvaneFontWeight weight : CorvaneFontWeight::allCases) {
        weights->addWidget(new CorvaneSymbolView(QStringLiteral("xmark"), 20, weight.qtWeight()));
        weights->addWidget(
            new CorvaneSymbolView(QStringLiteral("plus.circle.fill"), 20, weight.qtWeight()));
    }
    auto *palette = new CorvaneSymbolView(QStringLiteral("xmark.circle.fill"), 20);
    palette->setPaletteColours(Color::white(), Color::red());
    weights->addSpacing(Spacing::generous);
    weights->addWidget(palette);
    weights->addStretch(1);
    page->finish();
    return page;
}

const ScreenRegistration screens{
    {QStringLiteral("kit-tokens-colours"), {1080, 540}, tokensColours},
    {QStringLiteral("kit-type-ramp"), {980, 600}, typeRamp},
    {QStringLiteral("kit-buttons-states"), {1240, 340}, buttonsStates},
    {QStringLiteral("kit-glass-elevation"), {1000, 520}, glassElevation},
    {QStringLiteral("kit-appearance-presets"), {1100, 460}, appearancePresets},
    {QStringLiteral("kit-chips-styles"), {1180, 500}, chipsStyles},
    {QStringLiteral("kit-badges-all"), {1000, 540}, badgesAll},
    {QStringLiteral("kit-symbols-all"), {1100, 500}, symbolsAll},
};

} // namespace
