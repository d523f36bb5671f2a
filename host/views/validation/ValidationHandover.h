#pragma once

#include "host/views/validation/ValidationRunController.h"

#include <QObject>

#include <optional>

namespace tandrel {

class AppState;

// Where the layout editor's "Validate" panel leaves its tile's check for the validation
// window: the panel's expand button offers it here and opens the window, which takes it (as
// it comes on screen, or at once when it is open already) and shows that report rather than
// an empty drop zone. One per state object, the one thing the panel and the window share;
// an offer is taken once.
class ValidationHandover : public QObject {
    Q_OBJECT

public:
    using Handover = ValidationRunController::Handover;

    static ValidationHandover &of(AppState &state);

    // Replaces any offer not taken yet.
    void offer(Handover handover);
    // The offer, which is then gone; none when there is none.
    std::optional<Handover> take();

signals:
    void offered();

private:
    explicit ValidationHandover(QObject *parent);

    std::optional<Handover> offer_;
};

} // namespace tandrel
