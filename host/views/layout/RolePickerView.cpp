#include "host/views/layout/RolePickerView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "designkit/TextElision.h"
#include "host/state/AppState.h"
#include "host/views/common/QtText.h"
#include "host/views/layout/EditorControls.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/ElementBinding.h"
#include "host/views/layout/ElementOptions.h"
#include "platform/runtime/MainQueue.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace tandrel {

using namespace corvane;

namespace {

constexpr int rowSpacing = 6;
constexpr int rowPadding = 2;
constexpr int subRoleIndent = 12;
constexpr double chevronPoints = 9;
constexpr int chevronGap = 2;

// The room a group's disclosure button takes before its role.
int disclosureWidth() {
    return static_cast<int>(std::ceil(CorvaneSymbols::side(chevronPoints))) + chevronGap;
}

} // namespace

RoleRow::RoleRow(const RoleResolver::RoleInfo &role, QWidget *parent)
    : QAbstractButton(parent), uuid_(role.uuid) {
    // A role's name comes from the library.
    setText(shownText(role.name));
    setAccessibleName(text());
    setFont(EditorStyle::caption());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void RoleRow::setTicked(bool ticked) {
    if (ticked != ticked_) {
        ticked_ = ticked;
        update();
    }
}

QSize RoleRow::sizeHint() const {
    const double side = CorvaneSymbols::side(kitPoints(font()));
    return {static_cast<int>(std::ceil(side)) + rowSpacing +
                fontMetrics().horizontalAdvance(text()),
            std::max(static_cast<int>(std::ceil(side)), fontMetrics().height()) + 2 * rowPadding};
}

QSize RoleRow::minimumSizeHint() const {
    return {static_cast<int>(std::ceil(CorvaneSymbols::side(kitPoints(font())))),
            sizeHint().height()};
}

void RoleRow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown()) {
        painter.setOpacity(0.6);
    }
    const double side = CorvaneSymbols::side(kitPoints(font()));
    CorvaneSymbols::paint(
        painter, QRectF(0, (height() - side) / 2, side, side),
        ticked_ ? QStringLiteral("checkmark.square.fill") : QStringLiteral("square"), QFont::Normal,
        ticked_ ? Color::corvaneAccent() : Color::corvaneTextSecondary());
    painter.setPen(Color::primary());
    painter.setFont(font());
    const double x = side + rowSpacing;
    painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     corvane::TextElision::elidedRight(QFontMetricsF(font()), text(), width() - x));
}

RolePickerView::RolePickerView(AppState &state, const Uuid &id,
                               std::shared_ptr<const RoleSource> roles, QWidget *parent)
    : QWidget(parent), state_(state), id_(id), roles_(std::move(roles)),
      heading_(EditorControls::heading(ElementOptions::rolesHeading)),
      warning_(EditorStyle::wrappingLabel(qtText(ElementOptions::noRoleSelectedWarning),
                                          EditorStyle::caption2(), Color::orange())),
      list_(new QWidget), listLayout_(new QVBoxLayout(list_)),
      noRoles_(EditorStyle::wrappingLabel(qtText(ElementOptions::noRolesFound),
                                          EditorStyle::caption2(), EditorStyle::tertiary())),
      displayMode_(
          EditorControls::picker(qtText(ElementOptions::showTitle),
                                 EditorControls::titles(ElementOptions::roleDisplayModeChoices))),
      help_(
          EditorStyle::wrappingLabel(QString(), EditorStyle::caption2(), EditorStyle::tertiary())) {
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4);
    stack->addWidget(heading_);
    stack->addWidget(warning_);
    listLayout_->setContentsMargins(0, 0, 0, 0);
    listLayout_->setSpacing(0);
    stack->addWidget(list_);
    noRoles_->hide();
    stack->addWidget(noRoles_);
    // The picker's title is not shown.
    displayMode_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    stack->addWidget(displayMode_, 0, Qt::AlignLeft);
    connect(displayMode_, &QComboBox::activated, this, [this](int choice) {
        const RoleDisplayMode mode =
            ElementOptions::roleDisplayModeChoices.at(static_cast<std::size_t>(choice)).value;
        ElementBinding(state_, id_).update([mode](BurnInElement &element) {
            element.roleDisplayMode = mode;
        });
    });
    stack->addWidget(help_);

    // The element shows at once; the role lists are read later.
    for (const auto changed : {&AppState::presetsChanged, &AppState::activePresetIDChanged}) {
        connect(&state, changed, this, &RolePickerView::showElement);
    }
    for (const auto changed :
         {&AppState::presetsChanged, &AppState::activePresetIDChanged,
          &AppState::watchedLibrariesChanged, &AppState::availableTimelinesChanged}) {
        connect(&state, changed, this, &RolePickerView::scheduleBuild);
    }
    showElement();
    scheduleBuild();
}

void RolePickerView::showElement() {
    const BurnInElement element = ElementBinding(state_, id_).get();
    warning_->setVisible(element.roleFilterUIDs.empty());
    EditorControls::select(displayMode_,
                           choiceIndex(ElementOptions::roleDisplayModeChoices,
                                       RoleDisplayMode::Case(element.roleDisplayMode)));
    help_->setText(qtText(ElementOptions::roleHelp(element.roleDisplayMode)));
    for (const auto &[uuid, row] : rows_) {
        row->setTicked(element.roleFilterUIDs.contains(uuid));
    }
}

void RolePickerView::scheduleBuild() {
    if (buildPending_) {
        return;
    }
    buildPending_ = true;
    platform::MainQueue::async(this, [this] {
        buildPending_ = false;
        build();
    });
}

RoleRow *RolePickerView::row(const std::string &uuid) const {
    const auto found = rows_.find(uuid);
    return found == rows_.end() ? nullptr : found->second;
}

QAbstractButton *RolePickerView::disclosure(const std::string &uuid) const {
    const auto found = disclosures_.find(uuid);
    return found == disclosures_.end() ? nullptr : found->second;
}

void RolePickerView::build() {
    // Read first, every read over before a row is made.
    const std::vector<RoleGroup> groups =
        roles_ ? readRoleGroups(*roles_) : std::vector<RoleGroup>{};
    ++builds_;
    rows_.clear();
    disclosures_.clear();
    while (QLayoutItem *item = listLayout_->takeAt(0)) {
        if (QWidget *gone = item->widget()) {
            gone->hide();
            // Later: the click of one of its rows may be what runs now.
            gone->deleteLater();
        }
        delete item;
    }
    for (const RoleGroup &group : groups) {
        if (group.subRoles.empty()) {
            // In line with the rows of the groups, whose disclosure button stands before them.
            auto *plain = new QWidget;
            auto *line = new QHBoxLayout(plain);
            line->setContentsMargins(disclosureWidth(), 0, 0, 0);
            line->addWidget(makeRow(group.role));
            listLayout_->addWidget(plain);
        } else {
            listLayout_->addWidget(makeGroup(group));
        }
        // Shown now, not when the list next lays out.
        listLayout_->itemAt(listLayout_->count() - 1)->widget()->show();
    }
    list_->setVisible(!groups.empty());
    noRoles_->setVisible(groups.empty());
    showElement();
}

QWidget *RolePickerView::makeRow(const RoleResolver::RoleInfo &role) {
    auto *row = new RoleRow(role);
    rows_.emplace(role.uuid, row);
    connect(row, &QAbstractButton::clicked, this, [this, uuid = role.uuid] {
        ElementBinding(state_, id_).update([&uuid](BurnInElement &element) {
            ElementOptions::toggleRole(element, uuid);
        });
    });
    return row;
}

QWidget *RolePickerView::makeGroup(const RoleGroup &group) {
    auto *box = new QWidget;
    auto *stack = new QVBoxLayout(box);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    auto *label = new QWidget;
    auto *line = new QHBoxLayout(label);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(chevronGap);
    const bool open = expanded_.contains(group.role.uuid);
    auto *chevron = new CorvaneSymbolButton(open ? QStringLiteral("chevron.down")
                                                 : QStringLiteral("chevron.right"),
                                            chevronPoints, QFont::Bold);
    chevron->setFixedWidth(disclosureWidth() - chevronGap);
    chevron->setCursor(Qt::PointingHandCursor);
    chevron->setAccessibleName(shownText(group.role.name));
    corvaneForeground(chevron, Color::corvaneTextSecondary());
    line->addWidget(chevron, 0, Qt::AlignVCenter);
    line->addWidget(makeRow(group.role), 1);
    stack->addWidget(label);
    disclosures_.emplace(group.role.uuid, chevron);

    auto *content = new QWidget;
    auto *rows = new QVBoxLayout(content);
    rows->setContentsMargins(disclosureWidth() + subRoleIndent, 0, 0, 0);
    rows->setSpacing(0);
    for (const RoleResolver::RoleInfo &subRole : group.subRoles) {
        rows->addWidget(makeRow(subRole));
    }
    content->setVisible(open);
    stack->addWidget(content);

    // Opening and closing the group changes nothing in the element.
    connect(chevron, &QAbstractButton::clicked, this,
            [this, chevron, content, uuid = group.role.uuid] {
                const bool opened = !expanded_.contains(uuid);
                if (opened) {
                    expanded_.insert(uuid);
                } else {
                    expanded_.erase(uuid);
                }
                chevron->setSymbol(opened ? QStringLiteral("chevron.down")
                                          : QStringLiteral("chevron.right"));
                content->setVisible(opened);
            });
    return box;
}

} // namespace tandrel
