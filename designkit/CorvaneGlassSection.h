#pragma once

#include "designkit/CorvaneFloatingPanel.h"

namespace corvane {

// The floating panel's card with its symbol and title and no buttons.
class CorvaneGlassSection : public CorvaneFloatingPanel {
    Q_OBJECT

public:
    CorvaneGlassSection(const QString &title, const std::optional<QString> &icon, QWidget *content,
                        QWidget *parent = nullptr);
};

} // namespace corvane
