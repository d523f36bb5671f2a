#include "host/views/validation/ValidationHandover.h"

#include "host/state/AppState.h"

#include <utility>

namespace tandrel {

ValidationHandover::ValidationHandover(QObject *parent) : QObject(parent) {}

ValidationHandover &ValidationHandover::of(AppState &state) {
    if (auto *made = state.findChild<ValidationHandover *>(QString(), Qt::FindDirectChildrenOnly)) {
        return *made;
    }
    // The state object owns it, and outlives every view.
    return *new ValidationHandover(&state);
}

void ValidationHandover::offer(Handover handover) {
    offer_ = std::move(handover);
    emit offered();
}

std::optional<ValidationHandover::Handover> ValidationHandover::take() {
    return std::exchange(offer_, std::nullopt);
}

} // namespace tandrel
