#pragma once

#include "host/query/WatchedLibrary.h"

#include <QObject>

#include <optional>
#include <string>
#include <vector>

namespace tandrel {

class AppState;

// One entry of the menu-bar extra's menu.
struct MenuBarItem {
    enum class Kind {
        // A line of information: a symbol and a text, never chosen.
        label,
        divider,
        command,
    };
    // How a label is drawn: the caption style, green, or the secondary colour.
    enum class Tone { caption, active, secondary };
    enum class Command { none, openHost, quit };

    Kind kind = Kind::label;
    // A symbol name; none for a divider and a command.
    std::string symbol;
    std::string text;
    Tone tone = Tone::caption;
    Command command = Command::none;
    // Shown beside the command, e.g. "Ctrl+Q".
    std::string shortcut;

    static MenuBarItem label(std::string symbol, std::string text, Tone tone = Tone::caption);
    static MenuBarItem divider();

    friend bool operator==(const MenuBarItem &, const MenuBarItem &) = default;
};

// The menu of the menu-bar extra: what the host serves and watches, then its two commands.
struct MenuBarContent {
    static constexpr const char *title = "Embrik";
    static constexpr const char *symbol = "text.viewfinder";
    static constexpr const char *openHostTitle = "Open Embrik Host";
    static constexpr const char *quitTitle = "Quit Embrik";
    static constexpr const char *quitShortcut = "Ctrl+Q";
    static constexpr const char *noLibrariesText = "No libraries loaded";

    // What the menu reads of the state object.
    struct Inputs {
        std::string statusMessage;
        std::optional<std::string> activeTimelineName;
        bool snapshotWritten = false;
        std::vector<WatchedLibrary> watchedLibraries;

        static Inputs of(const AppState &state);
    };

    static std::vector<MenuBarItem> items(const Inputs &inputs);
};

// The menu's items over the state object, announced again whenever something they read
// changes.
class MenuBarModel : public QObject {
    Q_OBJECT

public:
    explicit MenuBarModel(const AppState &state, QObject *parent = nullptr);

    std::vector<MenuBarItem> items() const;

signals:
    void changed();

private:
    const AppState &state_;
};

} // namespace tandrel
