#include "timecode/ui/KeyEvents.h"

#include <gtest/gtest.h>

#include <vector>

namespace timecode {
namespace {

TEST(KeyEvents, MapToKeys) {
    struct Case {
        int key;
        const char *text;
        std::optional<KeyEquivalent> expected;
    };
    const std::vector<Case> cases{
        {Qt::Key_5, "5", KeyEquivalent(U'5')},
        {Qt::Key_Up, "", KeyEquivalent::upArrow},
        {Qt::Key_Left, "", KeyEquivalent::leftArrow},
        {Qt::Key_Backspace, "\b", KeyEquivalent::deleteKey},
        {Qt::Key_Delete, "\x7f", KeyEquivalent::deleteForward},
        {Qt::Key_unknown, "\x7f", KeyEquivalent::asciiDEL},
        {Qt::Key_C, "\x03", KeyEquivalent::asciiEndOfText},
        {Qt::Key_Return, "\r", KeyEquivalent::returnKey},
        {Qt::Key_Enter, "\r", KeyEquivalent::returnKey},
        {Qt::Key_Backtab, "", KeyEquivalent::tab},
        {Qt::Key_Escape, "\x1b", KeyEquivalent::escape},
        {Qt::Key_Period, ".", KeyEquivalent(U'.')},
        {Qt::Key_Shift, "", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        const QKeyEvent event(QEvent::KeyPress, c.key, Qt::NoModifier, QString::fromLatin1(c.text));
        EXPECT_EQ(keyEquivalent(event), c.expected);
    }
}

} // namespace
} // namespace timecode
