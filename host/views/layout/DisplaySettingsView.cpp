#include "host/views/layout/DisplaySettingsView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvanePanelToggleButton.h"
#include "designkit/CorvaneScrollArea.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/QtText.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/BulkStylePanel.h"
#include "host/views/layout/CanvasCropPicker.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/ElementEditor.h"
#include "host/views/layout/ElementListView.h"
#include "host/views/layout/PresetPickerRow.h"
#include "host/views/layout/PresetSettingsPanel.h"
#include "host/views/preview/PositionPreviewCanvas.h"
#include "host/views/validation/ValidationTileContent.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace tandrel {

using namespace corvane;

namespace {

// How a panel shares the right column's height: the editor and the settings scroll and give
// way, down to a whole row; the bulk style rows and the validation tile keep their height (the
// column scrolls where they would not fit).
CorvaneFloatingPanelColumn::Sizing sizingOf(RightPanel panel) {
    using Sizing = CorvaneFloatingPanelColumn::Sizing;
    switch (panel) {
    case RightPanel::bulkStyle:
    case RightPanel::validate:
        return Sizing::fixed;
    case RightPanel::editor:
    case RightPanel::settings:
        return Sizing::scrolls;
    }
    return Sizing::scrolls;
}

// The canvas area of a pane made without a canvas: its dark ground and a line naming it.
class CanvasPlaceholder : public QWidget {
public:
    CanvasPlaceholder() {
        auto *layout = new QVBoxLayout(this);
        QLabel *note = EditorStyle::label(QStringLiteral("Position preview"),
                                          EditorStyle::caption(), EditorStyle::tertiary());
        layout->addWidget(note, 0, Qt::AlignCenter);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        fillRounded(painter, rect(), 6, withOpacity(Color::black(), 0.9));
    }
};

// The canvas with the separate-window button over its top trailing corner.
class CanvasFrame : public QWidget {
public:
    CanvasFrame(QWidget *canvas, QAbstractButton *button) : canvas_(canvas), button_(button) {
        canvas->setParent(this);
        button->setParent(this);
        button->raise();
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    QSize sizeHint() const override { return canvas_->sizeHint(); }
    QSize minimumSizeHint() const override { return canvas_->minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent *) override {
        canvas_->setGeometry(rect());
        // The button's own size, padding included (its hint is the bare symbol's).
        const QSize size = button_->size();
        button_->setGeometry(QRect(QPoint(width() - size.width(), 0), size));
    }

private:
    QWidget *canvas_;
    QAbstractButton *button_;
};

// The "Editor" panel: the element editor of the primary selected element of the active
// preset, on a faint card, or the hint when there is none. An editor is made again only when
// the element it edits changes, so its drafts survive the preset's other changes.
class ElementEditorSlot : public corvane::CorvaneScrollArea {
public:
    ElementEditorSlot(DisplaySettingsView &pane,
                      std::function<QWidget *(DisplaySettingsView &, const Uuid &)> make)
        : CorvaneScrollArea(new QWidget, Rows::wholeOnly), pane_(pane), make_(std::move(make)),
          content_(widget()),
          hint_(EditorStyle::wrappingLabel(QString::fromUtf8(DisplaySettingsView::noElementText),
                                           EditorStyle::caption(), Color::corvaneTextTertiary())) {
        corvaneMicro(hint_);
        auto *stack = new QVBoxLayout(content_);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(8);
        stack->addWidget(hint_);
        stack->addStretch(1);
        AppState &state = pane.state();
        for (const auto changed : {&AppState::presetsChanged, &AppState::activePresetIDChanged,
                                   &AppState::selectedElementIDChanged}) {
            connect(&state, changed, this, [this] { refresh(); });
        }
        refresh();
    }

    QLabel *hint() const { return hint_; }

private:
    class Card : public QWidget {
    public:
        explicit Card(QWidget *editor) {
            // The panel scrolls by the editor's rows.
            markRowGroup(this);
            markRowGroup(editor);
            auto *layout = new QVBoxLayout(this);
            layout->setContentsMargins(8, 8, 8, 8);
            layout->addWidget(editor);
        }

    protected:
        void paintEvent(QPaintEvent *) override {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            fillRounded(painter, rect(), 6, withOpacity(Color::corvaneTextSecondary(), 0.08));
        }
    };

    void refresh() {
        const std::optional<Uuid> element =
            make_ ? ActivePreset(pane_.state()).selectedElement() : std::nullopt;
        if (element == shown_ && (card_ != nullptr) == element.has_value()) {
            return;
        }
        QWidget *old = std::exchange(card_, nullptr);
        shown_ = element;
        if (element) {
            card_ = new Card(make_(pane_, *element));
            static_cast<QVBoxLayout *>(content_->layout())->insertWidget(0, card_);
        }
        hint_->setVisible(card_ == nullptr);
        if (old != nullptr) {
            // Hidden first, so that a field left with typing in it commits it (to the element
            // it edits); deleted later, as the change may have come from inside it.
            content_->layout()->removeWidget(old);
            old->hide();
            old->setParent(nullptr);
            old->deleteLater();
        }
    }

    DisplaySettingsView &pane_;
    std::function<QWidget *(DisplaySettingsView &, const Uuid &)> make_;
    QWidget *content_;
    QLabel *hint_;
    QWidget *card_ = nullptr;
    std::optional<Uuid> shown_;
};

} // namespace

DisplaySettingsView::Services DisplaySettingsView::Services::standard() {
    return {
        .makeCanvas = [](AppState &state) -> QWidget * {
            return new PositionPreviewCanvas(
                state, [&state] { return state.activePresetIndex(); },
                [&state](const Uuid &id) { state.removeElement(id); },
                {.cropPicker = &makeCanvasCropPicker});
        },
        .makeValidationTile = [](AppState &state) -> QWidget * {
            return new ValidationTileContent(
                state, ValidationRunController::checkingActiveTimeline(state));
        },
        .makeElementEditor = [](DisplaySettingsView &pane, const Uuid &id) -> QWidget * {
            return pane.makeElementEditor(id);
        },
        .presetFiles = PresetManagement::Services::standard(),
        .confirmReset =
            [](QWidget *parent, const QString &title, const QString &message,
               std::function<void(bool)> answer) {
                // Window-modal, not a loop of its own: nothing may be torn down under a
                // running dialog. It goes with its parent, unanswered.
                QMessageBox *box = resetConfirmation(parent, title, message).release();
                box->setAttribute(Qt::WA_DeleteOnClose);
                QObject::connect(box, &QMessageBox::finished, box,
                                 [box, answer = std::move(answer)] {
                                     answer(box->buttonRole(box->clickedButton()) ==
                                            QMessageBox::DestructiveRole);
                                 });
                box->open();
            },
        .afterRenameDelay =
            [](QObject *context, std::function<void()> work) {
                QTimer::singleShot(renameFocusDelay, context, std::move(work));
            },
        .pickColor = ColorWell::systemPicker(),
        .roles = nullptr,
    };
}

std::unique_ptr<QMessageBox> DisplaySettingsView::resetConfirmation(QWidget *parent,
                                                                    const QString &title,
                                                                    const QString &message) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(title);
    // The question is the dialog's title, the message its detail.
    box->setTextFormat(Qt::RichText);
    box->setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    box->setInformativeText(message);
    QPushButton *reset = box->addButton(QStringLiteral("Reset"), QMessageBox::DestructiveRole);
    corvaneForeground(reset, Color::red());
    box->setDefaultButton(box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole));
    box->setEscapeButton(box->defaultButton());
    return box;
}

DisplaySettingsView::DisplaySettingsView(AppState &state, bool isSidebarCollapsed,
                                         OpenWindow openWindow, QWidget *parent)
    : DisplaySettingsView(state, isSidebarCollapsed, std::move(openWindow), Services::standard(),
                          parent) {}

DisplaySettingsView::DisplaySettingsView(AppState &state, bool isSidebarCollapsed,
                                         OpenWindow openWindow, Services services, QWidget *parent)
    : QWidget(parent), state_(state), openWindow_(std::move(openWindow)),
      services_(std::move(services)), presets_(state, services_.presetFiles),
      isSidebarCollapsed_(isSidebarCollapsed), seenXMLDrop_(state.pendingXMLDropURL()) {
    setMinimumWidth(minimumWidth);

    auto *column = new QWidget;
    column->setFont(EditorStyle::caption());
    column->setMinimumWidth(columnMinimumWidth);
    auto *stack = new QVBoxLayout(column);
    stack->setContentsMargins(columnPadding, columnPadding, columnPadding, columnPadding);
    stack->setSpacing(10);
    stack->addWidget(makeHeaderRow());
    presetPicker_ = new PresetPickerRow(
        state, [this] { newPreset(); }, [this] { renamePreset(); });
    stack->addWidget(presetPicker_);
    stack->addWidget(new corvane::CorvaneDivider(0));
    elementList_ =
        new ElementListView(state, bulkStyle_, [this] { insertPanel(RightPanel::editor); });
    elementList_->setObjectName(QStringLiteral("elementList"));
    stack->addWidget(elementList_);
    stack->addWidget(new corvane::CorvaneDivider(0));
    stack->addWidget(makeCanvasArea(), 1);

    mainScroll_ = new corvane::CorvaneScrollArea(column);
    mainScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    column_ = new CorvaneFloatingPanelColumn(panelColumnWidth, HorizontalEdge::trailing);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mainScroll_, 1);
    layout->addWidget(column_);

    for (const auto changed : {&AppState::presetsChanged, &AppState::activePresetIDChanged}) {
        connect(&state, changed, this, &DisplaySettingsView::showActivePreset);
    }
    connect(&state, &AppState::pendingXMLDropURLChanged, this, &DisplaySettingsView::followXMLDrop);
    showActivePreset();
    showPanels(false);
}

DisplaySettingsView::~DisplaySettingsView() = default;

QWidget *DisplaySettingsView::makeHeaderRow() {
    auto *header = new QWidget;
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(headerInset(), 0, 0, 0);
    row->setSpacing(8);
    auto *icon = new CorvaneSymbolView(QStringLiteral("textformat"), 15);
    corvaneForeground(icon, Color::corvaneTextSecondary());
    headerIcon_ = icon;
    row->addWidget(icon, 0, Qt::AlignVCenter);
    row->addWidget(EditorStyle::label(QString::fromUtf8(title),
                                      EditorStyle::body(CorvaneFontWeight::demiBold),
                                      Color::primary()),
                   0, Qt::AlignVCenter);
    row->addStretch(1);
    for (const RightPanel panel : RightPanel::allCases()) {
        auto *toggle = new CorvanePanelToggleButton(
            qtText(panel.symbol()), activePanels_.contains(panel), qtText(panel.title()),
            [this, panel] { togglePanel(panel); });
        switches_.emplace(panel, toggle);
        row->addWidget(toggle, 0, Qt::AlignVCenter);
    }
    return header;
}

QWidget *DisplaySettingsView::makeCanvasArea() {
    canvasArea_ = new QWidget;
    canvasArea_->setMinimumHeight(canvasMinimumHeight);
    canvasArea_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *layout = new QVBoxLayout(canvasArea_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *button = new CorvaneSymbolButton(QStringLiteral("arrow.up.left.and.arrow.down.right"), 11,
                                           QFont::DemiBold);
    const int side = button->sizeHint().width() + 2 * 6;
    button->setFixedSize(side, side);
    button->setCursor(Qt::PointingHandCursor);
    corvaneForeground(button, Color::corvaneTextTertiary());
    corvaneTooltip(button, QString::fromUtf8(separateWindowTooltip), std::nullopt, Edge::bottom);
    button->setAccessibleName(QString::fromUtf8(separateWindowLabel));
    connect(button, &QAbstractButton::clicked, this, [this] {
        if (openWindow_) {
            openWindow_(QString::fromUtf8(positionPreviewWindow));
        }
    });
    separateWindow_ = button;

    canvas_ = services_.makeCanvas ? services_.makeCanvas(state_) : new CanvasPlaceholder;
    canvas_->setObjectName(QStringLiteral("canvas"));
    auto *frame = new CanvasFrame(canvas_, button);
    layout->addWidget(frame, 1);

    noPreset_ = new QLabel(QString::fromUtf8(noPresetText));
    noPreset_->setTextFormat(Qt::PlainText);
    corvaneMicro(noPreset_);
    layout->addWidget(noPreset_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch(0);
    return canvasArea_;
}

void DisplaySettingsView::showActivePreset() {
    const bool active = state_.activePresetIndex().has_value();
    // While no preset is active the canvas area holds only the line, and takes no height.
    canvas_->parentWidget()->setVisible(active);
    noPreset_->setVisible(!active);
    canvasArea_->setMinimumHeight(active ? canvasMinimumHeight : 0);
}

ElementEditor *DisplaySettingsView::makeElementEditor(const Uuid &id) const {
    std::shared_ptr<const RoleSource> roles = services_.roles;
    if (!roles) {
        roles = std::make_shared<QueryResolverRoles>(state_.sharedQueryResolver());
    }
    return new ElementEditor(state_, id, {.pickColor = services_.pickColor, .roles = roles});
}

DisplayConfig DisplaySettingsView::activePreset() const {
    return ActivePreset(state_).preset();
}

bool DisplaySettingsView::setActivePreset(DisplayConfig preset) {
    return ActivePreset(state_).set(std::move(preset));
}

void DisplaySettingsView::togglePanel(RightPanel panel) {
    activePanels_.toggle(panel);
    showPanels(true);
}

void DisplaySettingsView::insertPanel(RightPanel panel) {
    if (activePanels_.insert(panel)) {
        showPanels(true);
    }
}

void DisplaySettingsView::removePanel(RightPanel panel) {
    if (activePanels_.remove(panel)) {
        showPanels(true);
    }
}

CorvaneFloatingPanel *DisplaySettingsView::panelView(RightPanel panel) const {
    const auto open = panels_.find(panel);
    return open == panels_.end() ? nullptr : open->second.data();
}

std::function<void()> DisplaySettingsView::onExpandAction(RightPanel panel) const {
    if (!panel.expandsToWindow()) {
        return {};
    }
    return [this] {
        // The window shows the panel's check rather than an empty drop zone.
        if (auto *tile = qobject_cast<ValidationTileContent *>(validationTile())) {
            tile->handOver();
        }
        if (openWindow_) {
            openWindow_(QString::fromUtf8(validationWindow));
        }
    };
}

CorvaneFloatingPanel *DisplaySettingsView::makePanel(RightPanel panel) {
    // Every content takes the panel's width; the bulk style rows keep their height, the
    // others fill the panel (the panel reads this when it places its content).
    const bool keepsHeight = panel == RightPanel::bulkStyle;
    QWidget *content = makePanelContent(panel);
    content->setSizePolicy(QSizePolicy::Expanding,
                           keepsHeight ? QSizePolicy::Preferred : QSizePolicy::Expanding);
    auto *view = new CorvaneFloatingPanel({
        .title = qtText(panel.title()),
        .icon = qtText(panel.symbol()),
        .onExpand = onExpandAction(panel),
        .onClose = [this, panel] { removePanel(panel); },
        .content = content,
    });
    view->setObjectName(qtText(panel.rawValue()));
    if (keepsHeight) {
        // Its rows keep their height; the other panels share what is left (sizingOf).
        view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    }
    return view;
}

QWidget *DisplaySettingsView::makePanelContent(RightPanel panel) {
    switch (panel) {
    case RightPanel::editor:
        return new ElementEditorSlot(*this, services_.makeElementEditor);
    case RightPanel::settings:
        return new corvane::CorvaneScrollArea(
            new PresetSettingsPanel(state_, {
                                                .duplicate = [this] { duplicateActivePreset(); },
                                                .exportPreset = [this] { exportActivePreset(); },
                                                .importPreset = [this] { importPresetFromFile(); },
                                                .reset = [this] { confirmResetActivePreset(); },
                                                .remove = [this] { deleteActivePreset(); },
                                            }),
            corvane::CorvaneScrollArea::Rows::wholeOnly);
    case RightPanel::bulkStyle:
        // Not scrolled: the panel is as tall as its rows.
        return new BulkStylePanel(state_, bulkStyle_, services_.pickColor);
    case RightPanel::validate:
        if (services_.makeValidationTile) {
            return services_.makeValidationTile(state_);
        }
        return new QWidget;
    }
    return new QWidget;
}

void DisplaySettingsView::showPanels(bool animated) {
    // Closed panels go with their contents: a panel opened again starts afresh. The column
    // fades them out (or slides out with the last one).
    for (auto open = panels_.begin(); open != panels_.end();) {
        if (activePanels_.contains(open->first)) {
            ++open;
            continue;
        }
        if (CorvaneFloatingPanel *gone = open->second) {
            column_->removePanel(gone, animated);
        }
        open = panels_.erase(open);
    }
    // The column lists the open panels in declaration order.
    int index = 0;
    for (const RightPanel panel : activePanels_.inOrder()) {
        if (panelView(panel) == nullptr) {
            CorvaneFloatingPanel *view = makePanel(panel);
            panels_[panel] = view;
            column_->insertPanel(index, view, sizingOf(panel), animated);
        }
        ++index;
    }
    for (const auto &[panel, toggle] : switches_) {
        toggle->setActive(activePanels_.contains(panel));
    }
    const bool show = !activePanels_.empty();
    if (show == !column_->isHidden()) {
        return;
    }
    if (animated) {
        column_->setVisibleAnimated(show);
    } else {
        column_->setVisible(show);
    }
}

QWidget *DisplaySettingsView::editorContent() const {
    const CorvaneFloatingPanel *panel = panelView(RightPanel::editor);
    return panel != nullptr ? panel->content() : nullptr;
}

PresetSettingsPanel *DisplaySettingsView::settingsContent() const {
    const CorvaneFloatingPanel *panel = panelView(RightPanel::settings);
    return panel != nullptr ? panel->content()->findChild<PresetSettingsPanel *>() : nullptr;
}

BulkStylePanel *DisplaySettingsView::bulkStyleContent() const {
    const CorvaneFloatingPanel *panel = panelView(RightPanel::bulkStyle);
    return panel != nullptr ? qobject_cast<BulkStylePanel *>(panel->content()) : nullptr;
}

QWidget *DisplaySettingsView::validationTile() const {
    const CorvaneFloatingPanel *panel = panelView(RightPanel::validate);
    return panel != nullptr ? panel->content() : nullptr;
}

void DisplaySettingsView::duplicateActivePreset() {
    presets_.duplicateActivePreset();
}

void DisplaySettingsView::exportActivePreset() {
    presets_.exportActivePreset(this);
}

void DisplaySettingsView::importPresetFromFile() {
    presets_.importPresetFromFile(this);
}

void DisplaySettingsView::deleteActivePreset() {
    presets_.deleteActivePreset();
}

void DisplaySettingsView::resetActivePresetToFactory() {
    presets_.resetActivePresetToFactory();
}

void DisplaySettingsView::confirmResetActivePreset() {
    const std::optional<std::size_t> index = state_.activePresetIndex();
    if (showResetPresetConfirm_ || !services_.confirmReset || !index) {
        return;
    }
    const Uuid named = state_.presets()[*index].id;
    const QString title = PresetManagement::resetConfirmationTitle(state_.presets()[*index].name);
    showResetPresetConfirm_ = true;
    // The answer may come after the active preset changed, or after the named one went.
    services_.confirmReset(this, title,
                           QString::fromUtf8(PresetManagement::resetConfirmationMessage),
                           [pane = QPointer<DisplaySettingsView>(this), id = named](bool reset) {
                               if (pane == nullptr) {
                                   return;
                               }
                               pane->showResetPresetConfirm_ = false;
                               if (reset) {
                                   pane->presets_.resetPresetToFactory(id);
                               }
                           });
}

void DisplaySettingsView::newPreset() {
    duplicateActivePreset();
    if (activePanels_.insert(RightPanel::settings)) {
        showPanels(false);
    }
}

void DisplaySettingsView::renamePreset() {
    if (activePanels_.insert(RightPanel::settings)) {
        showPanels(false);
    }
    if (services_.afterRenameDelay) {
        services_.afterRenameDelay(this, [this] {
            if (PresetSettingsPanel *settings = settingsContent()) {
                settings->focusNameField();
            }
        });
    }
}

void DisplaySettingsView::setSidebarCollapsed(bool collapsed) {
    isSidebarCollapsed_ = collapsed;
    headerIcon_->parentWidget()->layout()->setContentsMargins(headerInset(), 0, 0, 0);
}

void DisplaySettingsView::setCollapsedHeaderInset(int inset) {
    collapsedHeaderInset_ = inset;
    setSidebarCollapsed(isSidebarCollapsed_);
}

void DisplaySettingsView::setHeaderClearance(int clearance) {
    headerClearance_ = clearance;
    setSidebarCollapsed(isSidebarCollapsed_);
}

int DisplaySettingsView::headerInset() const {
    return std::max(isSidebarCollapsed_ ? collapsedHeaderInset_ : 0, headerClearance_);
}

void DisplaySettingsView::followXMLDrop() {
    const std::optional<std::filesystem::path> &drop = state_.pendingXMLDropURL();
    // A change to another file opens the window; the window takes the file and clears it,
    // and the change to none opens nothing.
    if (drop && drop != seenXMLDrop_ && openWindow_) {
        openWindow_(QString::fromUtf8(validationWindow));
    }
    seenXMLDrop_ = drop;
}

} // namespace tandrel
