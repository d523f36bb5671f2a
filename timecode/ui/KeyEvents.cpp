#include "timecode/ui/KeyEvents.h"

namespace timecode {

std::optional<KeyEquivalent> keyEquivalent(const QKeyEvent &event) {
    switch (event.key()) {
    case Qt::Key_Up:
        return KeyEquivalent::upArrow;
    case Qt::Key_Down:
        return KeyEquivalent::downArrow;
    case Qt::Key_Left:
        return KeyEquivalent::leftArrow;
    case Qt::Key_Right:
        return KeyEquivalent::rightArrow;
    case Qt::Key_Home:
        return KeyEquivalent::home;
    case Qt::Key_End:
        return KeyEquivalent::end;
    case Qt::Key_PageUp:
        return KeyEquivalent::pageUp;
    case Qt::Key_PageDown:
        return KeyEquivalent::pageDown;
    case Qt::Key_Backspace:
        return KeyEquivalent::deleteKey;
    case Qt::Key_Delete:
        return KeyEquivalent::deleteForward;
    case Qt::Key_Clear:
        return KeyEquivalent::clear;
    case Qt::Key_Escape:
        return KeyEquivalent::escape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyEquivalent::returnKey;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return KeyEquivalent::tab;
    default:
        break;
    }
    const QList<uint> scalars = event.text().toUcs4();
    if (scalars.isEmpty()) {
        return std::nullopt;
    }
    return KeyEquivalent(static_cast<char32_t>(scalars.front()));
}

} // namespace timecode
