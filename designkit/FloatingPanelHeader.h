#pragma once

#include <QString>

#include <vector>

namespace corvane {

// The buttons at the end of a floating panel's header: one for each action the caller gave,
// expand before close, each a symbol with a tooltip below it.
struct PanelHeaderButton {
    enum class Role { expand, close };

    Role role;
    QString symbol;
    QString tooltip;

    friend bool operator==(const PanelHeaderButton &, const PanelHeaderButton &) = default;
};

class FloatingPanelHeader {
public:
    FloatingPanelHeader() = delete;

    static std::vector<PanelHeaderButton> buttons(bool hasExpand, bool hasClose);
};

} // namespace corvane
