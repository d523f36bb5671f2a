#include "timecode/ui/TimecodePaste.h"

#include "timecode/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;

const Timecode::Properties at24 = props(R::fps24, Base::max80SubFrames);

// A focused view registered for the paste command, and what reached its target.
class PasteCommandTest : public ::testing::Test {
protected:
    PasteCommandTest() {
        view = new QWidget(&window);
        view->setFocusPolicy(Qt::StrongFocus);
        view->show();
        view->setFocus();
        onPasteCommandOfTimecode(view, at24, [this]() -> std::optional<TimecodePasteAction> {
            ++targetAsked;
            if (!hasTarget) {
                return std::nullopt;
            }
            return TimecodePasteAction{
                [this](const TimecodePasteResult &result) { results.push_back(result); }};
        });
    }

    bool paste() { return press(view, Qt::Key_V, QStringLiteral("v"), Qt::ControlModifier); }

    ActiveWindow window;
    QWidget *view;
    FakeClipboard clipboard;
    bool hasTarget = true;
    int targetAsked = 0;
    std::vector<TimecodePasteResult> results;
};

// The paste runs after the key event, from the event loop; without a target the clipboard is
// left alone.
TEST_F(PasteCommandTest, WithoutATargetTheClipboardIsNotRead) {
    clipboard.setText(QStringLiteral("01:00:00:00"));
    hasTarget = false;
    EXPECT_TRUE(paste());
    EXPECT_EQ(targetAsked, 0);
    runQueued();
    EXPECT_EQ(targetAsked, 1);
    EXPECT_EQ(clipboard.reads, 0);
    EXPECT_TRUE(results.empty());
}

TEST_F(PasteCommandTest, AnEmptyClipboardFailsOnce) {
    paste();
    runQueued();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].hasValue());
    EXPECT_THROW(results[0].value(), CoderValueNotFoundError);

    clipboard.setText(QStringLiteral("not a timecode"));
    paste();
    runQueued();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_THROW(results[1].value(), CoderValueNotFoundError);
}

TEST_F(PasteCommandTest, TheTimecodeTypeComesBeforeText) {
    // Copied at 25 fps: pasted whole, whatever the properties for text.
    const Timecode copied = make({0, 1, 0, 0, 20, 0}, R::fps25, Base::max100SubFrames);
    clipboard.contents = timecodeMimeData(copied, {});
    ASSERT_TRUE(clipboard.contents->hasText());
    paste();
    runQueued();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].value().isIdentical(copied));

    // Text is read at the command's properties, out-of-range values kept.
    clipboard.setText(QStringLiteral("01:00:00:99"));
    paste();
    runQueued();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_TRUE(results[1].value().isIdentical(make({0, 1, 0, 0, 99, 0}, R::fps24)));

    // Corrupt timecode data falls back to the text.
    clipboard.contents->setData(timecodeMimeType, "{");
    paste();
    runQueued();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[2].value().frames(), 99);
}

TEST(TimecodePaste, ClipboardContentsAsItems) {
    EXPECT_TRUE(timecodeItemProviders(nullptr).empty());
    QMimeData empty;
    EXPECT_TRUE(timecodeItemProviders(&empty).empty());
    QMimeData html;
    html.setHtml(QStringLiteral("<b>1</b>"));
    EXPECT_TRUE(timecodeItemProviders(&html).empty());

    const auto both = timecodeMimeData(make({0, 1, 0, 0, 0, 0}), {});
    const std::vector<ItemProvider> items = timecodeItemProviders(both.get());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].registeredTypeIdentifiers(),
              (std::vector<std::string>{"com.varnell.timecode", "public.utf8-plain-text"}));
    EXPECT_EQ(items[0].loadData("public.utf8-plain-text"), "01:00:00:00");
}

} // namespace
} // namespace timecode
