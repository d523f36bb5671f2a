#include "host/views/layout/ElementChip.h"

#include "host/views/common/ElidedLabel.h"
#include "host/views/common/QtText.h"

#include "designkit/Color.h"
#include "designkit/CorvaneChipChrome.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/layout/ElementBinding.h"
#include "host/views/layout/ElementList.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace tandrel {

using namespace corvane;

namespace {

// The chip's name as a button: the whole of its label takes the click, and the click tells
// whether Shift was held as it was made.
class SelectButton : public QAbstractButton {
public:
    SelectButton() {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);
    }

    Qt::KeyboardModifiers modifiers() const { return modifiers_; }

    QSize sizeHint() const override { return layout()->sizeHint(); }
    QSize minimumSizeHint() const override { return layout()->minimumSize(); }

protected:
    void paintEvent(QPaintEvent *) override {}
    void mousePressEvent(QMouseEvent *event) override {
        modifiers_ = event->modifiers();
        QAbstractButton::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override {
        modifiers_ = event->modifiers();
        QAbstractButton::mouseReleaseEvent(event);
    }
    void keyPressEvent(QKeyEvent *event) override {
        modifiers_ = event->modifiers();
        QAbstractButton::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent *event) override {
        modifiers_ = event->modifiers();
        QAbstractButton::keyReleaseEvent(event);
    }

private:
    Qt::KeyboardModifiers modifiers_;
};

} // namespace

MiniSwitch::MiniSwitch(QWidget *parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void MiniSwitch::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = track.height() / 2;
    fillRounded(painter, track, radius,
                isChecked() ? Color::corvaneAccent() : withOpacity(Color::white(), 0.18));
    // Its edge keeps it apart from the accent of a selected chip.
    strokeRoundedInside(painter, track, radius, withOpacity(Color::white(), 0.35));
    const double knob = track.height() - 3;
    const double x = isChecked() ? track.right() - 1.5 - knob : track.left() + 1.5;
    fillRounded(painter, QRectF(x, track.top() + 1.5, knob, knob), knob / 2,
                withOpacity(Color::white(), isDown() ? 0.8 : 0.95));
}

ElementChip::ElementChip(AppState &state, const BurnInElement &element, bool isSelected,
                         Selected selected, QWidget *parent)
    : QWidget(parent), state_(state), id_(element.id), element_(element),
      selected_(std::move(selected)), switch_(new MiniSwitch), select_(new SelectButton),
      warning_(new CorvaneSymbolView(QStringLiteral("exclamationmark.triangle.fill"), 9)),
      name_(new ElidedLabel),
      remove_(new CorvaneSymbolButton(QStringLiteral("xmark.circle.fill"), 10, QFont::Normal)),
      menu_(new QMenu(this)) {
    auto *content = new QWidget;
    auto *row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);

    switch_->setAccessibleName(QStringLiteral("Enabled"));
    connect(switch_, &QAbstractButton::clicked, this, [this](bool on) {
        ElementBinding(state_, id_).update([on](BurnInElement &stored) { stored.isEnabled = on; });
    });
    row->addWidget(switch_, 0, Qt::AlignVCenter);

    corvaneForeground(warning_, Color::orange());
    corvaneTooltip(warning_, QString::fromUtf8(ElementList::roleWarning));
    // The name gives way first when the row is narrower than the chip.
    name_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    select_->layout()->addWidget(warning_);
    select_->layout()->addWidget(name_);
    connect(select_, &QAbstractButton::clicked, this, [this] {
        const bool extend =
            static_cast<SelectButton *>(select_)->modifiers().testFlag(Qt::ShiftModifier);
        state_.selectElement(id_, extend);
        if (selected_) {
            selected_();
        }
    });
    select_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    row->addWidget(select_, 0, Qt::AlignVCenter);

    remove_->setCursor(Qt::PointingHandCursor);
    corvaneForeground(remove_, Color::corvaneTextSecondary());
    connect(remove_, &QAbstractButton::clicked, this, [this] { state_.removeElement(id_); });
    row->addWidget(remove_, 0, Qt::AlignVCenter);

    chrome_ = corvaneChipChrome(content, isSelected, Color::corvaneAccent(),
                                CorvaneChipStyle::colored(Color::corvaneAccent()),
                                CorvaneChipSize::compact);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chrome_);
    // No wider than its name needs; narrower where the row is (FlowLayout).
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { menu_->popup(mapToGlobal(at)); });
    // Made as it opens: "Paste" follows what the pasteboard holds then.
    connect(menu_, &QMenu::aboutToShow, this, &ElementChip::fillMenu);

    showElement(element, isSelected);
}

void ElementChip::showElement(const BurnInElement &element, bool isSelected) {
    element_ = element;
    {
        const QSignalBlocker quiet(switch_);
        switch_->setChecked(element.isEnabled);
    }
    warning_->setVisible(ElementList::showsRoleWarning(element));
    // A label may come from a preset file someone else wrote.
    const QString name = shownText(ElementList::chipName(element));
    name_->setText(name);
    name_->setFont(
        corvaneFont(14, isSelected ? CorvaneFontWeight::demiBold : CorvaneFontWeight::medium));
    remove_->setAccessibleName(QString::fromStdString(ElementList::removeLabel(element)));
    corvaneForeground(chrome_->content(),
                      element.isEnabled ? Color::primary() : Color::corvaneTextTertiary());
    // Set again: the content's colour reaches every child that has none of its own.
    corvaneForeground(warning_, Color::orange());
    corvaneForeground(remove_, Color::corvaneTextSecondary());
    chrome_->setSelected(isSelected);
    adjustSize();
}

void ElementChip::fillMenu() {
    menu_->clear();
    menu_->addAction(qtText(ElementList::copyTitle), this,
                     [this] { state_.copyElementToPasteboard(element_); });
    if (state_.pasteboardHasElement()) {
        menu_->addAction(qtText(ElementList::pasteTitle), this,
                         [this] { state_.pasteElementFromPasteboard(); });
    }
}

} // namespace tandrel
