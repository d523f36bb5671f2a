// The project start timecode field: its hint and placeholder, and an override written as the
// user types it, never written back from the state object.
#include "host/views/main/tests/HostViewsFixture.h"

#include "host/views/common/WrappingLabel.h"
#include "host/views/main/ProjectStartTCText.h"
#include "host/views/main/ProjectStartTCView.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace tandrel {
namespace {

using ProjectStartTC = testing::HostViewsTest;

TEST(ProjectStartTCText, TheHintAndPlaceholderSayWhichStartTimecodeIsInForce) {
    struct Case {
        std::string override;
        std::optional<std::string> detected;
        std::optional<std::string> active;
        const char *hint;
        const char *placeholder;
    };
    const Case cases[] = {
        {"", std::nullopt, std::nullopt,
         "Select a timeline to read its start timecode from Final Cut Pro.", "not detected"},
        {"", "01:00:00:00", "t",
         "Read from Final Cut Pro: 01:00:00:00. Only type something here if that's wrong.",
         "01:00:00:00"},
        {"", std::nullopt, "t",
         "Final Cut Pro didn't report a start timecode for this timeline — if the burn-in shows "
         "\"doesn't fit this timeline\", type the project's start TC here.",
         "not detected"},
        {"00:59:50:00", "01:00:00:00", "t",
         "Manual override in use — clear the field to go back to Final Cut Pro's own value.",
         "01:00:00:00"},
        // One blank is an override too; and the override holds with nothing active.
        {" ", std::nullopt, std::nullopt,
         "Manual override in use — clear the field to go back to Final Cut Pro's own value.",
         "not detected"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ProjectStartTCText::hint(c.override, c.detected, c.active), c.hint) << c.override;
        EXPECT_EQ(ProjectStartTCText::placeholder(c.detected), c.placeholder);
    }
}

TEST_F(ProjectStartTC, TheFieldFollowsItsLabelWhichWrapsOnlyWhereTheRowIsTooNarrow) {
    ProjectStartTCView view(state());
    view.show();
    WrappingLabel *label = view.label();
    QLineEdit *field = view.field();
    const int line = label->heightForWidth(label->fittedWidth(1000));
    // The sidebar's narrowest and widest, and one in between.
    const std::pair<int, bool> widths[] = {{220, false}, {330, true}, {400, true}};
    for (const auto &[width, oneLine] : widths) {
        view.resize(width, view.heightForWidth(width));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        EXPECT_EQ(field->width(), ProjectStartTCView::fieldWidth);
        EXPECT_EQ(field->x(), label->geometry().right() + 1 + 8) << width;
        EXPECT_LE(field->geometry().right(), width - 12) << width;
        EXPECT_EQ(label->height() == line, oneLine) << width;
        EXPECT_EQ(label->width(), label->fittedWidth(label->width())) << width;
    }
}

TEST_F(ProjectStartTC, EveryKeystrokeIsTheOverrideAndTheSameTextWritesNothing) {
    loaded({solo_});
    ProjectStartTCView view(state());
    view.show();
    QLineEdit *field = view.field();
    const auto writes = [&] { return defaults->writes[AppState::projectStartTimecodeKey]; };
    const int before = writes();

    QTest::keyClicks(field, "01");
    EXPECT_EQ(state().projectStartTimecode(), "01");
    EXPECT_EQ(writes(), before + 2);
    EXPECT_EQ(view.hint()->text().toStdString(),
              ProjectStartTCText::hint("01", state().detectedProjectStartTimecode(),
                                       state().activeTimelineID()));

    // The last digit typed over by itself: an edit of the user's, but the same text.
    int edits = 0;
    QObject::connect(field, &QLineEdit::textEdited, [&edits] { ++edits; });
    field->setSelection(1, 1);
    QTest::keyClicks(field, "1");
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(field->text(), "01");
    EXPECT_EQ(writes(), before + 2);

    // The state object's value reaches the field without being written again.
    state().setProjectStartTimecode("10:00:00:00");
    EXPECT_EQ(field->text(), "10:00:00:00");
    EXPECT_EQ(writes(), before + 3);
    // Another timeline keeps the override in force.
    state().setActiveTimeline(std::nullopt);
    EXPECT_EQ(field->text(), "10:00:00:00");
    EXPECT_EQ(state().projectStartTimecode(), "10:00:00:00");
    // A blank counts, and the snapshot carries it.
    field->clear();
    QTest::keyClicks(field, " ");
    EXPECT_EQ(state().effectiveProjectStartTimecode(), " ");

    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(state().projectStartTimecode(), "");
    EXPECT_EQ(field->placeholderText().toStdString(),
              ProjectStartTCText::placeholder(state().detectedProjectStartTimecode()));
}

} // namespace
} // namespace tandrel
