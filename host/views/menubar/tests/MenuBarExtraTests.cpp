// The menu of the menu-bar extra: its items for what the host serves and watches, and the
// menu following the state object.
#include "host/views/main/tests/HostViewsFixture.h"

#include "host/views/menubar/MenuBarContent.h"
#include "host/views/menubar/MenuBarView.h"

#include <QAction>

namespace tandrel {
namespace {

using Kind = MenuBarItem::Kind;
using Tone = MenuBarItem::Tone;
using Command = MenuBarItem::Command;
using MenuBarExtraWidget = testing::HostViewsTest;

// An item as one line: its kind's mark, symbol, text, and tone or shortcut.
std::string line(const MenuBarItem &item) {
    switch (item.kind) {
    case Kind::divider:
        return "---";
    case Kind::command:
        return "[" + item.text + (item.shortcut.empty() ? "" : " " + item.shortcut) + "]";
    case Kind::label:
        break;
    }
    const char *tone = item.tone == Tone::active ? " (green)"
                       : item.tone == Tone::secondary ? " (secondary)"
                                                      : "";
    return (item.symbol.empty() ? "" : item.symbol + " ") + item.text + tone;
}

std::vector<std::string> lines(const std::vector<MenuBarItem> &items) {
    std::vector<std::string> lines;
    for (const MenuBarItem &item : items) {
        lines.push_back(line(item));
    }
    return lines;
}

WatchedLibrary library(const char *name, bool loaded, std::optional<std::string> error = {}) {
    WatchedLibrary library = WatchedLibrary::forURL(std::string("/m/") + name + ".fcpbundle");
    library.isLoaded = loaded;
    library.errorMessage = std::move(error);
    return library;
}

TEST(MenuBarExtra, ItemsTellWhatTheHostServesAndWatches) {
    const std::string open = "[Open Embrik Host]";
    const std::string quit = "[Quit Embrik Ctrl+Q]";
    struct Case {
        const char *what;
        MenuBarContent::Inputs inputs;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"no libraries",
         {"No libraries loaded", std::nullopt, false, {}},
         {"text.viewfinder No libraries loaded", "---", "No libraries loaded (secondary)", "---",
          open, quit}},
        {"a timeline active, its snapshot not written yet: no active line",
         {"Serving Cut", "Cut", false, {library("Feature", true)}},
         {"text.viewfinder Serving Cut", "---", "checkmark.circle Feature", "---", open, quit}},
        {"written: the active line, green",
         {"Serving Cut", "Cut", true, {library("Feature", true)}},
         {"text.viewfinder Serving Cut", "dot.radiowaves.left.and.right Active: Cut (green)",
          "---", "checkmark.circle Feature", "---", open, quit}},
        {"written, no timeline active: no active line",
         {"Ready", std::nullopt, true, {library("Feature", true)}},
         {"text.viewfinder Ready", "---", "checkmark.circle Feature", "---", open, quit}},
        {"being read, and failed, both wait on the clock",
         {"Loading", std::nullopt, false,
          {library("Reading", false), library("Broken", false, "No database"),
           library("Read", true, "An older error")}},
         {"text.viewfinder Loading", "---", "clock Reading", "clock Broken", "checkmark.circle Read",
          "---", open, quit}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(lines(MenuBarContent::items(c.inputs)), c.lines) << c.what;
    }
}

TEST_F(MenuBarExtraWidget, TheMenuFollowsTheStateAndRunsItsCommands) {
    int opened = 0;
    int quits = 0;
    MenuBarView menu(state(), {.openHost = [&] { ++opened; }, .quit = [&] { ++quits; }});
    int changes = 0;
    QObject::connect(&menu.model(), &MenuBarModel::changed, [&] { ++changes; });
    const auto texts = [&] {
        std::vector<std::string> texts;
        for (const QAction *action : menu.actions()) {
            texts.push_back(action->isSeparator() ? "---" : action->text().toStdString());
        }
        return texts;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"No libraries loaded", "---",
                                                 "No libraries loaded", "---", "Open Embrik Host",
                                                 "Quit Embrik"}));
    // Information lines are no commands.
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
    EXPECT_TRUE(menu.command(Command::openHost)->isEnabled());
    EXPECT_EQ(menu.command(Command::quit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

    // A library with one timeline: read, served, written.
    loaded({solo_});
    EXPECT_GT(changes, 0);
    const std::vector<std::string> now = texts();
    ASSERT_EQ(now.size(), 7u);
    EXPECT_EQ(now[0], state().statusMessage());
    EXPECT_EQ(now[1], "Active: " + *state().activeTimelineName());
    EXPECT_EQ(now[3], "Solo");
    EXPECT_EQ(menu.items()[3].symbol, "checkmark.circle");

    menu.command(Command::openHost)->trigger();
    menu.command(Command::quit)->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(quits, 1);
}

// The menu is padded 8 points on every side: its first row 8 under its top, its last ending
// 8 above its bottom, every row within it.
TEST_F(MenuBarExtraWidget, TheMenuIsPaddedEightPointsOnEverySide) {
    loaded({solo_});
    MenuBarView menu(state(), {});
    menu.popup(QPoint(0, 0));
    QCoreApplication::sendPostedEvents();
    const QList<QAction *> actions = menu.actions();
    ASSERT_FALSE(actions.empty());
    const QRect first = menu.actionGeometry(actions.front());
    const QRect last = menu.actionGeometry(actions.back());
    EXPECT_EQ(first.top(), MenuBarView::padding);
    EXPECT_EQ(menu.height() - 1 - last.bottom(), MenuBarView::padding);
    for (const QAction *action : actions) {
        EXPECT_TRUE(menu.rect().contains(menu.actionGeometry(const_cast<QAction *>(action))));
    }
}

} // namespace
} // namespace tandrel
