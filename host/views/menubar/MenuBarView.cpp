#include "host/views/menubar/MenuBarView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/TextElision.h"
#include "host/views/common/ElidedLabel.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>

namespace tandrel {

using namespace corvane;

namespace {

QColor toneColour(MenuBarItem::Tone tone) {
    switch (tone) {
    case MenuBarItem::Tone::caption:
        return Color::corvaneTextSecondary();
    case MenuBarItem::Tone::active:
        return Color::green();
    case MenuBarItem::Tone::secondary:
        return Color::corvaneTextTertiary();
    }
    return Color::corvaneTextSecondary();
}

} // namespace

MenuBarView::MenuBarView(const AppState &state, Actions actions, QWidget *parent)
    : QMenu(parent), model_(state), actions_(std::move(actions)) {
    setTitle(QString::fromUtf8(MenuBarContent::title));
    // Padded as the menu's stack is, 8 points around its rows, the style's own frame and
    // margins included.
    const int frame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    const int across = frame + style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, this);
    const int down = frame + style()->pixelMetric(QStyle::PM_MenuVMargin, nullptr, this);
    setContentsMargins(std::max(0, padding - across), std::max(0, padding - down),
                       std::max(0, padding - across), std::max(0, padding - down));
    // Built when it opens, and again while open when what it shows changes.
    connect(this, &QMenu::aboutToShow, this, &MenuBarView::rebuild);
    connect(&model_, &MenuBarModel::changed, this, &MenuBarView::rebuild);
    rebuild();
}

QIcon MenuBarView::symbolIcon(const QString &symbol, const QColor &colour) {
    QIcon icon;
    const double ratio = std::max(1.0, qGuiApp->devicePixelRatio());
    for (const int side : {16, 22}) {
        QPixmap pixmap(QSize(side, side) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        CorvaneSymbols::paint(painter, QRectF(0, 0, side, side), symbol, QFont::Normal, colour);
        painter.end();
        // Information lines are disabled items: they keep their colour all the same.
        icon.addPixmap(pixmap, QIcon::Normal);
        icon.addPixmap(pixmap, QIcon::Disabled);
        icon.addPixmap(pixmap, QIcon::Active);
    }
    return icon;
}

QString MenuBarView::actionText(const std::string &text, const QFont &font) {
    // No wider than the menu may be, so that it never pushes its commands off the screen; an
    // "&" is a letter, not the mark of a mnemonic.
    const QString shown =
        TextElision::elided(QFontMetricsF(font), ElidedLabel::bounded(QString::fromStdString(text)),
                            Qt::ElideMiddle, maxTextWidth);
    return QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void MenuBarView::rebuild() {
    clear();
    items_ = model_.items();
    const QFont caption = CorvaneTextStyle(CorvaneTextStyle::caption).font();
    for (size_t i = 0; i < items_.size(); ++i) {
        const MenuBarItem &item = items_[i];
        QAction *action = nullptr;
        switch (item.kind) {
        case MenuBarItem::Kind::divider:
            action = addSeparator();
            break;
        case MenuBarItem::Kind::label:
            action = addAction(actionText(item.text, caption));
            if (!item.symbol.empty()) {
                action->setIcon(symbolIcon(QString::fromStdString(item.symbol),
                                           toneColour(item.tone)));
            }
            action->setFont(caption);
            action->setEnabled(false);
            break;
        case MenuBarItem::Kind::command:
            action = addAction(QString::fromStdString(item.text));
            if (!item.shortcut.empty()) {
                // Shown beside the item; a shortcut bound to the menu's focus is never live,
                // as a popup menu never takes focus. While a window of the host is on screen
                // the host's own Quit command answers Ctrl+Q, this menu included (a second
                // live action on the same keys would leave both dead); with none, the key
                // reaches the menu itself (keyPressEvent).
                action->setShortcut(QKeySequence(QString::fromStdString(item.shortcut)));
                action->setShortcutContext(Qt::WidgetShortcut);
            }
            connect(action, &QAction::triggered, this, [this, command = item.command] {
                const auto &run =
                    command == MenuBarItem::Command::quit ? actions_.quit : actions_.openHost;
                if (run) {
                    run();
                }
            });
            break;
        }
        action->setData(static_cast<int>(i));
    }
}

QAction *MenuBarView::command(MenuBarItem::Command command) const {
    for (QAction *action : actions()) {
        bool ok = false;
        const int index = action->data().toInt(&ok);
        if (ok && index >= 0 && static_cast<size_t>(index) < items_.size() &&
            items_[static_cast<size_t>(index)].command == command &&
            command != MenuBarItem::Command::none) {
            return action;
        }
    }
    return nullptr;
}

void MenuBarView::keyPressEvent(QKeyEvent *event) {
    // A press reaches the open menu only when no shortcut took it: with every window of the
    // host closed, the usual case for a menu-bar extra, nothing else answers Ctrl+Q.
    QAction *quit = command(MenuBarItem::Command::quit);
    if (quit != nullptr && !quit->shortcut().isEmpty() &&
        QKeySequence(event->keyCombination()) == quit->shortcut()) {
        event->accept();
        // Closed as a chosen item closes it.
        hide();
        quit->trigger();
        return;
    }
    QMenu::keyPressEvent(event);
}

void MenuBarView::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const {
    QMenu::initStyleOption(option, action);
    bool ok = false;
    const int index = action->data().toInt(&ok);
    if (!ok || index < 0 || static_cast<size_t>(index) >= items_.size()) {
        return;
    }
    const MenuBarItem &item = items_[static_cast<size_t>(index)];
    if (item.kind == MenuBarItem::Kind::label) {
        // The information lines read as text in their tone, not as commands out of reach.
        for (const QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            option->palette.setColor(group, QPalette::Text, toneColour(item.tone));
            option->palette.setColor(group, QPalette::WindowText, toneColour(item.tone));
            option->palette.setColor(group, QPalette::ButtonText, toneColour(item.tone));
            // Not etched as a disabled command's text is: read as plain text.
            option->palette.setColor(group, QPalette::Light, Qt::transparent);
        }
    }
}

} // namespace tandrel
