#pragma once

#include "core/model/BurnInElement.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tandrel {

class AppState;

// The element editor's section for the two stacked-layer block fields: "Columns", "Prefix
// Position", the right column's prefix (hidden while only the left column is drawn) and the
// element's own "Stack Order". Each change is written at once; it follows the element as the
// state object changes it.
class StackedLayerOptionsView : public QWidget {
    Q_OBJECT

public:
    StackedLayerOptionsView(AppState &state, const Uuid &id, QWidget *parent = nullptr);

    QComboBox *columns() const { return columns_; }
    QComboBox *prefixPosition() const { return prefixPosition_; }
    // The caption and the "Right Prefix" field.
    QWidget *rightPrefixGroup() const { return rightPrefixGroup_; }
    QLabel *rightPrefixCaption() const { return rightPrefixCaption_; }
    QLineEdit *rightPrefix() const { return rightPrefix_; }
    QComboBox *stackOrder() const { return stackOrder_; }

private:
    void showElement(const BurnInElement &element);

    QComboBox *columns_;
    QComboBox *prefixPosition_;
    QWidget *rightPrefixGroup_;
    QLabel *rightPrefixCaption_;
    QLineEdit *rightPrefix_;
    QComboBox *stackOrder_;
};

} // namespace tandrel
