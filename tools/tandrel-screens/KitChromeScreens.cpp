// The design kit's window pieces: traffic lights, floating panels and their column, the split
// shell and tooltips, each in a small scene of the host's kind.
#include "tools/tandrel-screens/KitSheet.h"
#include "tools/tandrel-screens/ScreenHover.h"
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/Color.h"
#include "designkit/CorvaneAppearancePreset.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneChip.h"
#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneCountBadge.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvaneGlassBackground.h"
#include "designkit/CorvaneGlassSection.h"
#include "designkit/CorvanePanelToggleButton.h"
#include "designkit/CorvaneSplitShell.h"
#include "designkit/CorvaneStatusDot.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/CorvaneTrafficLights.h"
#include "designkit/CorvaneVisualEffectView.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace corvane;
using tandrel::screens::ScreenContext;
using tandrel::screens::ScreenRegistration;

namespace {

using tandrel::screens::hover;
using tandrel::screens::showTooltipWhenShown;
using tandrel::screens::kit::Backdrop;
using tandrel::screens::kit::Page;
using tandrel::screens::kit::text;
namespace Spacing = CorvaneDesign::Spacing;
using namespace std::chrono_literals;

// Draws another widget, never shown itself, `scale` times larger, to look at small things.
class Magnifier : public QWidget {
public:
    Magnifier(std::unique_ptr<QWidget> source, double scale)
        : source_(std::move(source)), scale_(scale) {
        source_->ensurePolished();
        source_->adjustSize();
        setFixedSize((QSizeF(source_->size()) * scale_).toSize() + QSize(2, 2) * padding);
    }

    QWidget *source() const { return source_.get(); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        fillRounded(painter, rect(), 10, Color::sRGB(0.16, 0.17, 0.19));
        strokeRoundedInside(painter, rect(), 10, Color::corvaneDivider());
        painter.translate(padding, padding);
        painter.scale(scale_, scale_);
        source_->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }

private:
    static constexpr int padding = 16;
    std::unique_ptr<QWidget> source_;
    double scale_;
};

CorvaneIconButton *smallIconButton(const QString &symbol) {
    auto *button = new CorvaneIconButton(symbol, {28});
    button->setSymbolFont(13, QFont::Medium);
    return button;
}

// A list row of the host's kind: a status dot, a name and a count.
QWidget *listRow(const QString &name, const QColor &dot, qint64 count) {
    auto *holder = new QWidget;
    auto *layout = new QHBoxLayout(holder);
    layout->setContentsMargins(Spacing::comfortable, 6, Spacing::comfortable, 6);
    layout->setSpacing(Spacing::standard);
    layout->addWidget(new CorvaneStatusDot(dot, CorvaneDesign::DotSize::standard, false), 0,
                      Qt::AlignVCenter);
    layout->addWidget(text(name, corvaneBody), 1);
    layout->addWidget(new CorvaneCountBadge(count, Color::corvaneTextTertiary()));
    return holder;
}

// A selected list row, drawn in the preset's selection colour.
class SelectedRow : public QWidget {
public:
    SelectedRow(QWidget *content, const QColor &colour) : colour_(colour) {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        fillRounded(painter, rect(), 6, colour_);
    }

private:
    QColor colour_;
};

// -- Traffic lights ---------------------------------------------------------------------------

// A window's header as the host draws it: the lights at the top of the sidebar card.
QWidget *windowHeader(CorvaneTrafficLights **lights) {
    auto *header = new QWidget;
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(Spacing::generous, 14, Spacing::generous, 14);
    layout->setSpacing(Spacing::generous);
    *lights = new CorvaneTrafficLights;
    layout->addWidget(*lights, 0, Qt::AlignVCenter);
    layout->addWidget(text(QStringLiteral("Embrik Host"), corvaneHeadline), 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(smallIconButton(QStringLiteral("sidebar.leading")), 0, Qt::AlignVCenter);
    return corvaneGlassCompact(header, CorvaneDesign::CornerRadius::panel, 0.4);
}

std::unique_ptr<QWidget> trafficLights(bool hovering) {
    auto page = std::make_unique<Page>(
        QStringLiteral("Traffic lights"),
        hovering ? QStringLiteral("The pointer over the group: all three lights show their "
                                  "colour and symbol together, gaps included.")
                 : QStringLiteral("At rest the window's lights are quiet grey circles; they act "
                                  "on the window they are in."));
    auto *context = page->section<QVBoxLayout>(QStringLiteral("In a window's header"));
    CorvaneTrafficLights *inHeader = nullptr;
    QWidget *header = windowHeader(&inHeader);
    header->setFixedWidth(420);
    context->addWidget(header);

    auto *enlarged =
        page->section<QHBoxLayout>(QStringLiteral("Four times larger: close, minimise, zoom"));
    auto *magnifier = new Magnifier(std::make_unique<CorvaneTrafficLights>(), 4);
    enlarged->addWidget(magnifier);
    auto *legend = new QVBoxLayout;
    legend->setSpacing(Spacing::tight);
    for (const char *line :
         {"Close Window — red, xmark", "Minimize Window — yellow, minus",
          "Zoom Window — green, arrows: maximise or restore", "12-point lights, 8 points apart"}) {
        legend->addWidget(text(QString::fromUtf8(line), corvaneCaption));
    }
    legend->addStretch(1);
    enlarged->addSpacing(Spacing::generous);
    enlarged->addLayout(legend);
    enlarged->addStretch(1);
    if (hovering) {
        hover(magnifier->source());
        QMetaObject::invokeMethod(
            inHeader, [inHeader] { hover(inHeader); }, Qt::QueuedConnection);
    }
    page->finish();
    return page;
}

// -- Floating panels --------------------------------------------------------------------------

QWidget *fieldRows(std::initializer_list<std::pair<const char *, const char *>> fields) {
    auto *holder = new QWidget;
    auto *grid = new QGridLayout(holder);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(Spacing::comfortable);
    grid->setVerticalSpacing(Spacing::standard);
    int line = 0;
    for (const auto &[name, value] : fields) {
        grid->addWidget(text(QString::fromUtf8(name), corvaneCaption), line, 0);
        grid->addWidget(text(QString::fromUtf8(value), corvaneBodySmall), line, 1);
        ++line;
    }
    return holder;
}

QWidget *chips(std::initializer_list<std::pair<const char *, bool>> labels) {
    auto *holder = new QWidget;
    auto *layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (const auto &[label, selected] : labels) {
        layout->addWidget(
            new CorvaneChip({.label = QString::fromUtf8(label), .isSelected = selected}));
    }
    return holder;
}

QWidget *panelCell(QWidget *panel, const char *about) {
    auto *holder = new QWidget;
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Spacing::standard);
    panel->setFixedSize(228, 160);
    layout->addWidget(panel);
    layout->addWidget(text(QString::fromUtf8(about), corvaneMicro));
    return holder;
}

std::unique_ptr<QWidget> floatingPanelVariants(const ScreenContext &) {
    auto page = std::make_unique<Page>(
        QStringLiteral("Floating panels"),
        QStringLiteral("Titled cards of the editor's side panels: buttons only for the actions "
                       "given; a glass section never has any."));
    auto *panels = page->section<QHBoxLayout>(QStringLiteral("Variants"));
    panels->setSpacing(Spacing::generous);
    panels->addWidget(panelCell(
        new CorvaneFloatingPanel(
            {.title = QStringLiteral("Position"),
             .icon = QStringLiteral("slider.horizontal.3"),
             .onExpand = [] {},
             .onClose = [] {},
             .content = fieldRows({{"X", "0.50"}, {"Y", "0.92"}, {"Font size", "28 pt"}})}),
        "Icon, expand and close"));
    panels->addWidget(panelCell(
        new CorvaneFloatingPanel(
            {.title = QStringLiteral("Validate"),
             .icon = QStringLiteral("checkmark.seal"),
             .onClose = [] {},
             .content = text(QStringLiteral("Drop an FCPXML export here."), corvaneCaption)}),
        "Close only"));
    panels->addWidget(
        panelCell(new CorvaneFloatingPanel({.title = QStringLiteral("Aspect"),
                                            .content = chips({{"16:9", true}, {"2.39", false}})}),
                  "No icon, no actions: the title at 12 points"));
    panels->addWidget(panelCell(
        new CorvaneGlassSection(QStringLiteral("Guides"), QStringLiteral("square"),
                                fieldRows({{"Visible picture", "1.78"}, {"Grid", "8 × 8"}})),
        "Glass section: symbol and title only"));
    panels->addStretch(1);

    auto *toggles = page->section<QHBoxLayout>(QStringLiteral("Panel toggle buttons, on and off"));
    toggles->setSpacing(Spacing::comfortable);
    for (const auto &[symbol, active, help] :
         {std::tuple{"slider.horizontal.3", true, "Position"},
          std::tuple{"checkmark.seal", false, "Validate"}, std::tuple{"square", true, "Guides"},
          std::tuple{"text.viewfinder", false, "Preview"}}) {
        toggles->addWidget(new CorvanePanelToggleButton(QString::fromLatin1(symbol), active,
                                                        QString::fromLatin1(help), [] {}));
        toggles->addWidget(
            text(QString::fromLatin1(active ? "%1, on" : "%1, off").arg(QString::fromLatin1(help)),
                 corvaneMicro));
        toggles->addSpacing(Spacing::comfortable);
    }
    toggles->addStretch(1);
    page->finish();
    return page;
}

// A stand-in for the editor's canvas: a frame of the timeline's aspect with burned-in text.
class Canvas : public QWidget {
public:
    Canvas() { setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QSizeF frame(16, 9);
        frame.scale(QSizeF(size()) - QSizeF(48, 48), Qt::KeepAspectRatio);
        const QRectF picture(
            QPointF((width() - frame.width()) / 2, (height() - frame.height()) / 2), frame);
        QLinearGradient sky(picture.topLeft(), picture.bottomLeft());
        sky.setColorAt(0, Color::sRGB(0.23, 0.3, 0.42));
        sky.setColorAt(1, Color::sRGB(0.55, 0.42, 0.3));
        painter.fillRect(picture, sky);
        painter.setFont(corvaneFont(13, CorvaneFontWeight::demiBold));
        const auto burn = [&](const QString &line, Qt::Alignment alignment) {
            const QRectF area = picture.adjusted(14, 12, -14, -12);
            const QRectF box =
                painter.boundingRect(area, int(alignment), line).adjusted(-6, -3, 6, 3);
            painter.fillRect(box, withOpacity(Color::black(), 0.6));
            painter.setPen(Color::white());
            painter.drawText(area, int(alignment), line);
        };
        burn(QStringLiteral("A012_C004 · Scene 4 / Take 2"), Qt::AlignLeft | Qt::AlignTop);
        burn(QStringLiteral("01:00:04:12"), Qt::AlignRight | Qt::AlignTop);
        burn(QStringLiteral("SRC 14:22:31:07"), Qt::AlignHCenter | Qt::AlignBottom);
    }
};

std::unique_ptr<QWidget> panelColumnTrailing(const ScreenContext &) {
    auto scene = std::make_unique<CorvaneVisualEffectView>(CorvaneMaterial::hudWindow,
                                                           CorvaneBlendingMode::behindWindow);
    auto *layout = new QHBoxLayout(scene.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *editor = new QWidget;
    auto *editorLayout = new QVBoxLayout(editor);
    editorLayout->setContentsMargins(Spacing::generous, Spacing::comfortable, Spacing::generous, 0);
    auto *toolbar = new QHBoxLayout;
    toolbar->setSpacing(Spacing::comfortable);
    toolbar->addWidget(text(QStringLiteral("Conform"), corvaneHeadline));
    toolbar->addStretch(1);
    toolbar->addWidget(new CorvanePanelToggleButton(QStringLiteral("slider.horizontal.3"), true,
                                                    QStringLiteral("Position"), [] {}));
    toolbar->addWidget(new CorvanePanelToggleButton(QStringLiteral("checkmark.seal"), true,
                                                    QStringLiteral("Validate"), [] {}));
    toolbar->addWidget(new CorvanePanelToggleButton(QStringLiteral("square"), false,
                                                    QStringLiteral("Guides"), [] {}));
    editorLayout->addLayout(toolbar);
    editorLayout->addWidget(new Canvas, 1);
    layout->addWidget(editor, 1);

    auto *column = new CorvaneFloatingPanelColumn(CorvaneDesign::Layout::rightSidebar - 60,
                                                  HorizontalEdge::trailing);
    column->addPanel(new CorvaneFloatingPanel({.title = QStringLiteral("Position"),
                                               .icon = QStringLiteral("slider.horizontal.3"),
                                               .onExpand = [] {},
                                               .onClose = [] {},
                                               .content = fieldRows({{"Element", "Source timecode"},
                                                                     {"X", "0.50"},
                                                                     {"Y", "0.92"},
                                                                     {"Alignment", "Centre"}})}));
    column->addPanel(new CorvaneFloatingPanel(
        {.title = QStringLiteral("Validate"),
         .icon = QStringLiteral("checkmark.seal"),
         .onClose = [] {},
         .content = text(QStringLiteral("42 clips match, 2 missing."), corvaneCaption)}));
    layout->addWidget(column);
    return scene;
}

// -- Split shell ------------------------------------------------------------------------------

QWidget *sidebar(const CorvaneAppearancePreset &preset) {
    auto *sidebar = new QWidget;
    auto *layout = new QVBoxLayout(sidebar);
    layout->setContentsMargins(Spacing::comfortable, 14, Spacing::comfortable,
                               Spacing::comfortable);
    layout->setSpacing(Spacing::tight);
    auto *lights = new CorvaneTrafficLights;
    auto *header = new QHBoxLayout;
    header->setContentsMargins(4, 0, 0, 0);
    header->addWidget(lights, 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(smallIconButton(QStringLiteral("sidebar.leading")), 0, Qt::AlignVCenter);
    layout->addLayout(header);
    layout->addSpacing(Spacing::comfortable);
    auto *title = new QHBoxLayout;
    title->setContentsMargins(4, 0, 0, 0);
    title->addWidget(new CorvaneSectionHeader(QStringLiteral("Libraries")));
    title->addStretch(1);
    layout->addLayout(title);
    const QColor selection = Color::fromHex(preset.selectionColorHex.value_or(QString()))
                                 .value_or(Color::corvaneSelection());
    layout->addWidget(listRow(QStringLiteral("Sample"), Color::green(), 3));
    layout->addWidget(new SelectedRow(
        listRow(QStringLiteral("Feature — Reel 2"), Color::green(), 12), selection));
    layout->addWidget(listRow(QStringLiteral("Dailies"), Color::orange(), 48));
    layout->addStretch(1);
    layout->addWidget(new CorvaneDivider);
    layout->addWidget(text(QStringLiteral("3 libraries watched"), corvaneMicro), 0,
                      Qt::AlignHCenter);
    return sidebar;
}

QWidget *timelines(bool collapsed) {
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(Spacing::generous, 14, 24, Spacing::generous);
    layout->setSpacing(Spacing::standard);
    auto *header = new QHBoxLayout;
    header->setSpacing(Spacing::comfortable);
    if (collapsed) {
        // With the sidebar away, its button and the lights come into the content's header.
        header->addWidget(new CorvaneTrafficLights, 0, Qt::AlignVCenter);
        header->addSpacing(Spacing::standard);
        header->addWidget(smallIconButton(QStringLiteral("sidebar.leading")), 0, Qt::AlignVCenter);
    }
    header->addWidget(text(QStringLiteral("Feature — Reel 2"), corvaneTitle), 0, Qt::AlignVCenter);
    header->addStretch(1);
    layout->addLayout(header);
    layout->addWidget(text(QStringLiteral("12 timelines in 3 events"), corvaneCaption));
    layout->addSpacing(Spacing::standard);
    auto *list = new QWidget;
    auto *rows = new QVBoxLayout(list);
    rows->setContentsMargins(0, Spacing::standard, 0, Spacing::standard);
    rows->setSpacing(2);
    const QStringList names = {QStringLiteral("R2 Conform v12"), QStringLiteral("R2 Temp ADR"),
                               QStringLiteral("R2 Music licensing"), QStringLiteral("R2 Subtitles"),
                               QStringLiteral("R2 QC")};
    for (int i = 0; i < names.size(); ++i) {
        if (i > 0) {
            rows->addWidget(new CorvaneDivider);
        }
        rows->addWidget(listRow(names[i],
                                i == 0 ? Color::corvaneAccent() : Color::corvaneTextTertiary(),
                                (i + 2) * 17));
    }
    layout->addWidget(corvaneGlassCompact(list, CorvaneDesign::CornerRadius::card, 0.2));
    layout->addStretch(1);
    return content;
}

std::unique_ptr<QWidget> splitShell(bool collapsed) {
    auto backdrop = std::make_unique<Backdrop>();
    auto *frame = new QVBoxLayout(backdrop.get());
    frame->setContentsMargins(32, 32, 32, 32);
    const CorvaneAppearancePreset preset = CorvaneAppearancePreset::saffraColors();
    const QColor base = Color::fromHex(preset.baseColorHex).value_or(Color::black());
    const QColor card =
        Color::fromHex(preset.sidebarColorHex.value_or(preset.baseColorHex)).value_or(base);
    auto *shell = new CorvaneSplitShell(
        {.isSidebarCollapsed = collapsed,
         .baseColor = base,
         .baseOpacity = preset.baseDarkness,
         .sidebarCardColor = card,
         .sidebarCardOpacity = std::min(1.0, preset.baseDarkness + preset.sidebarDarknessDelta),
         .persistenceKey = QStringLiteral("sidebarWidth"),
         .sidebar = sidebar(preset),
         .content = timelines(collapsed)});
    frame->addWidget(shell);
    return backdrop;
}

// -- Tooltips ---------------------------------------------------------------------------------

struct TooltipScene {
    std::unique_ptr<QWidget> window;
    std::vector<QWidget *> buttons;
};

// A strip of the host's icon buttons along the top of a glass window, from its left edge.
TooltipScene toolbarScene(const QString &caption, bool fromEdge) {
    auto window = std::make_unique<CorvaneVisualEffectView>(CorvaneMaterial::hudWindow,
                                                            CorvaneBlendingMode::behindWindow);
    auto *layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(fromEdge ? Spacing::tight : Spacing::generous, Spacing::generous,
                               Spacing::generous, Spacing::generous);
    auto *bar = new QHBoxLayout;
    bar->setSpacing(Spacing::standard);
    TooltipScene scene;
    for (const char *symbol : {"sidebar.leading", "plus", "wand.and.stars", "arrow.clockwise"}) {
        auto *button = smallIconButton(QString::fromLatin1(symbol));
        bar->addWidget(button);
        scene.buttons.push_back(button);
    }
    bar->addStretch(1);
    layout->addLayout(bar);
    layout->addStretch(1);
    auto *note = text(caption, corvaneMicro);
    note->setWordWrap(true);
    note->setContentsMargins(fromEdge ? Spacing::comfortable : 0, 0, 0, 0);
    layout->addWidget(note);
    scene.window = std::move(window);
    return scene;
}

std::unique_ptr<QWidget> tooltipBelow(const ScreenContext &) {
    TooltipScene scene = toolbarScene(
        QStringLiteral("After 350 ms over a button its help fades in below it, centred."), false);
    const QStringList helps = {QStringLiteral("Hide Sidebar"), QStringLiteral("Add Library..."),
                               QStringLiteral("Detect open libraries"), QStringLiteral("Refresh")};
    for (size_t i = 0; i < scene.buttons.size(); ++i) {
        corvaneTooltip(scene.buttons[i], helps[static_cast<int>(i)]);
    }
    showTooltipWhenShown(scene.buttons[2]);
    return std::move(scene.window);
}

std::unique_ptr<QWidget> tooltipAboveShortcut(const ScreenContext &) {
    auto page = std::make_unique<CorvaneVisualEffectView>(CorvaneMaterial::hudWindow,
                                                          CorvaneBlendingMode::behindWindow);
    auto *layout = new QVBoxLayout(page.get());
    layout->setContentsMargins(Spacing::generous, Spacing::generous, Spacing::generous,
                               Spacing::generous);
    auto *note = text(QStringLiteral("Above its control, with the shortcut under the text: "
                                     "the pill grows upwards, its last line where a pill of "
                                     "one line would end."),
                      corvaneMicro);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch(1);
    auto *bar = new QHBoxLayout;
    bar->setSpacing(Spacing::comfortable);
    bar->addStretch(1);
    auto *refresh = new CorvaneButton(QStringLiteral("Refresh"));
    refresh->setSymbol(QStringLiteral("arrow.clockwise"));
    corvaneTooltip(refresh, QStringLiteral("Read the library again"), QStringLiteral("Ctrl+R"),
                   Edge::top);
    auto *detect = new CorvaneButton(QStringLiteral("Detect"));
    detect->setSymbol(QStringLiteral("wand.and.stars"));
    corvaneTooltip(detect, QStringLiteral("Detect open libraries"), QStringLiteral("Ctrl+D"),
                   Edge::top);
    bar->addWidget(refresh);
    bar->addWidget(detect);
    bar->addStretch(1);
    layout->addLayout(bar);
    showTooltipWhenShown(refresh);
    return page;
}

std::unique_ptr<QWidget> tooltipLeftEdge(const ScreenContext &) {
    TooltipScene scene = toolbarScene(
        QStringLiteral("A button at the window's left edge: the pill is pushed right until its "
                       "left side is 8 points inside."),
        true);
    corvaneTooltip(scene.buttons[0], QStringLiteral("Show Sidebar"));
    corvaneTooltip(scene.buttons[1], QStringLiteral("Add Library..."));
    showTooltipWhenShown(scene.buttons[0]);
    return std::move(scene.window);
}

const ScreenRegistration screens{
    {QStringLiteral("kit-traffic-lights-idle"),
     {620, 320},
     [](const ScreenContext &) { return trafficLights(false); }},
    {QStringLiteral("kit-traffic-lights-hover"),
     {620, 320},
     [](const ScreenContext &) { return trafficLights(true); }},
    {QStringLiteral("kit-floating-panel-variants"), {1040, 380}, floatingPanelVariants},
    {QStringLiteral("kit-panel-column-trailing"), {1100, 560}, panelColumnTrailing},
    {QStringLiteral("kit-split-shell-expanded"),
     {1040, 620},
     [](const ScreenContext &) { return splitShell(false); }},
    {QStringLiteral("kit-split-shell-collapsed"),
     {1040, 620},
     [](const ScreenContext &) { return splitShell(true); }},
    {QStringLiteral("kit-tooltip-below"), {420, 180}, tooltipBelow},
    {QStringLiteral("kit-tooltip-above-shortcut"), {460, 180}, tooltipAboveShortcut},
    {QStringLiteral("kit-tooltip-left-edge"), {420, 180}, tooltipLeftEdge},
};

} // namespace
