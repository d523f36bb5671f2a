#pragma once

#include "host/views/menubar/MenuBarContent.h"

#include <QMenu>

#include <functional>

namespace tandrel {

class AppState;

// The menu of the menu-bar extra: the status line, the timeline being served, the watched
// libraries, then "Open Embrik Host" and "Quit Embrik". Its information lines are not
// commands. It follows the state object while it lives and is built afresh each time it opens.
// Ctrl+Q in the open menu quits, also with every window of the host closed.
class MenuBarView : public QMenu {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> openHost;
        std::function<void()> quit;
    };

    // Around its rows, on every side.
    static constexpr int padding = 8;

    MenuBarView(const AppState &state, Actions actions, QWidget *parent = nullptr);

    const MenuBarModel &model() const { return model_; }
    // The item each of the menu's actions shows.
    const std::vector<MenuBarItem> &items() const { return items_; }
    // The action of a command.
    QAction *command(MenuBarItem::Command command) const;

    // The symbol of a menu item as an icon, in one colour, for every state of the item.
    static QIcon symbolIcon(const QString &symbol, const QColor &colour);

    // The widest an information line's text is drawn, in points: names and the status line
    // are elided in the middle to it, so that the menu, and its Quit with Ctrl+Q, stays on
    // the screen.
    static constexpr double maxTextWidth = 420;
    // An information line's text as its action shows it, in `font`.
    static QString actionText(const std::string &text, const QFont &font);

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void rebuild();

    MenuBarModel model_;
    Actions actions_;
    std::vector<MenuBarItem> items_;
};

} // namespace tandrel
