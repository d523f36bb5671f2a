#include "host/views/layout/StackedLayerOptionsView.h"

#include "host/views/common/QtText.h"

#include "host/state/AppState.h"
#include "host/views/layout/EditorControls.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/ElementBinding.h"
#include "host/views/layout/ElementOptions.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tandrel {

StackedLayerOptionsView::StackedLayerOptionsView(AppState &state, const Uuid &id, QWidget *parent)
    : QWidget(parent),
      columns_(EditorControls::picker(qtText(ElementOptions::columnsTitle),
                                      EditorControls::titles(ElementOptions::columnsChoices))),
      prefixPosition_(
          EditorControls::picker(qtText(ElementOptions::prefixPositionTitle),
                                 EditorControls::titles(ElementOptions::prefixPositionChoices))),
      rightPrefixGroup_(new QWidget),
      rightPrefixCaption_(EditorControls::heading(ElementOptions::rightPrefixCaption)),
      rightPrefix_(new QLineEdit), stackOrder_(EditorControls::picker(
                                       qtText(ElementOptions::stackOrderTitle),
                                       EditorControls::titles(ElementOptions::stackOrderChoices))) {
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(6);

    const auto write = [&state, id](std::function<void(BurnInElement &)> change) {
        ElementBinding(state, id).update(change);
    };
    stack->addWidget(EditorControls::labelledRow(qtText(ElementOptions::columnsTitle), columns_));
    connect(columns_, &QComboBox::activated, this, [write](int choice) {
        write([choice](BurnInElement &element) {
            ElementOptions::setColumns(element, static_cast<std::size_t>(choice));
        });
    });
    stack->addWidget(
        EditorControls::labelledRow(qtText(ElementOptions::prefixPositionTitle), prefixPosition_));
    connect(prefixPosition_, &QComboBox::activated, this, [write](int choice) {
        write([choice](BurnInElement &element) {
            ElementOptions::setPrefixPosition(element, static_cast<std::size_t>(choice));
        });
    });

    auto *group = new QVBoxLayout(rightPrefixGroup_);
    group->setContentsMargins(0, 0, 0, 0);
    group->setSpacing(4);
    group->addWidget(rightPrefixCaption_);
    EditorStyle::roundedField(rightPrefix_, EditorStyle::caption());
    group->addWidget(
        EditorControls::labelledRow(qtText(ElementOptions::rightPrefixTitle), rightPrefix_));
    const auto follow = [this, &state, id] { showElement(ElementBinding(state, id).get()); };
    EditorControls::commitWhenDone(
        rightPrefix_,
        [write](const QString &text) {
            write([prefix = text.toStdString()](BurnInElement &element) {
                element.secondaryLabel = prefix;
            });
        },
        follow);
    stack->addWidget(rightPrefixGroup_);

    stack->addWidget(
        EditorControls::labelledRow(qtText(ElementOptions::stackOrderTitle), stackOrder_));
    connect(stackOrder_, &QComboBox::activated, this, [write](int choice) {
        write([choice](BurnInElement &element) {
            ElementOptions::setStackOrder(element, static_cast<std::size_t>(choice));
        });
    });
    for (const auto changed : {&AppState::presetsChanged, &AppState::activePresetIDChanged}) {
        connect(&state, changed, this, follow);
    }
    follow();
}

void StackedLayerOptionsView::showElement(const BurnInElement &element) {
    EditorControls::select(columns_, ElementOptions::columnsIndex(element));
    EditorControls::select(prefixPosition_, ElementOptions::prefixPositionIndex(element));
    EditorControls::select(stackOrder_, ElementOptions::stackOrderIndex(element));
    rightPrefixGroup_->setVisible(ElementOptions::showsRightPrefix(element));
    EditorControls::showStored(rightPrefix_, QString::fromStdString(element.secondaryLabel));
}

} // namespace tandrel
