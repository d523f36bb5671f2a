#include "platform/pasteboard/ClipboardPasteboard.h"

#include <gtest/gtest.h>

#include <functional>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {
namespace {

constexpr const char *elementType = "com.ostrevale.tandrel.burninelement";

// What both pasteboards promise, on an empty one.
void expectPasteboard(Pasteboard &pasteboard, const std::function<void()> &putTextOnly) {
    EXPECT_EQ(pasteboard.data(elementType), std::nullopt);
    pasteboard.setData(R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"})", elementType);
    EXPECT_EQ(pasteboard.data(elementType), R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"})");
    EXPECT_EQ(pasteboard.data("text/plain"), std::nullopt);
    pasteboard.setData("{}", elementType);
    EXPECT_EQ(pasteboard.data(elementType), "{}");
    pasteboard.clearContents();
    EXPECT_EQ(pasteboard.data(elementType), std::nullopt);
    putTextOnly();
    EXPECT_EQ(pasteboard.data(elementType), std::nullopt);
}

TEST(Pasteboard, InMemoryKeepsDataByType) {
    MemoryPasteboard pasteboard;
    expectPasteboard(pasteboard, [&] { pasteboard.setData("Reel 1", "text/plain"); });
}

TEST(Pasteboard, TheClipboardCarriesTheDataUnderItsTypeAndNothingElse) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    ClipboardPasteboard pasteboard;
    expectPasteboard(pasteboard, [&] { clipboard->setText("Reel 1"); });

    pasteboard.clearContents();
    pasteboard.setData("[1]", elementType);
    const QMimeData *contents = clipboard->mimeData();
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->formats(), QStringList{elementType});
    EXPECT_EQ(contents->data(elementType), "[1]");
    EXPECT_FALSE(contents->hasText());
    // Another pasteboard object of this program reads the same clipboard.
    EXPECT_EQ(ClipboardPasteboard().data(elementType), "[1]");
    clipboard->clear();
}

} // namespace
} // namespace platform
