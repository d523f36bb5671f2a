#pragma once

#include "core/model/BurnInElement.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;

namespace tandrel {

class AppState;

// The element editor's section for the marker fields that tell markers apart: "Marker Type"
// and one toggle per kind ("Chapter", "To-Do", "Standard"), each written at once. It follows
// the element as the state object changes it.
class MarkerTypeFilterView : public QWidget {
    Q_OBJECT

public:
    MarkerTypeFilterView(AppState &state, const Uuid &id, QWidget *parent = nullptr);

    QLabel *heading() const { return heading_; }
    // In the order chapter, to-do, standard.
    const std::array<QCheckBox *, 3> &toggles() const { return toggles_; }

private:
    void showElement(const BurnInElement &element);

    QLabel *heading_;
    std::array<QCheckBox *, 3> toggles_{};
};

} // namespace tandrel
