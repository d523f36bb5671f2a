#pragma once

#include "core/model/RawEnum.h"

#include <set>
#include <vector>

namespace tandrel {

struct RightPanelCases {
    enum Case : unsigned char { editor, settings, bulkStyle, validate };
    static constexpr std::array<std::string_view, 4> rawValues{"editor", "settings", "bulkStyle",
                                                               "validate"};
};

// The floating panels of the layout editor pane, in the order of their header switches and of
// the panel column.
class RightPanel : public RawEnum<RightPanel, RightPanelCases> {
public:
    using RawEnum::RawEnum;

    // "Editor", "Settings", "Bulk Style", "Validate": the panel's title and its switch's help.
    std::string_view title() const;
    // The symbol of the panel and of its switch.
    std::string_view symbol() const;
    // Only "Validate" has an expand button: it opens the validation window.
    bool expandsToWindow() const { return value() == validate; }
};

// Which panels are open. Opening one that is open, or closing one that is closed, changes
// nothing; the column lists the open ones in declaration order, whatever the order of opening.
class OpenPanels {
public:
    // A new pane: "Editor", "Settings" and "Bulk Style"; "Validate" closed.
    OpenPanels();
    explicit OpenPanels(std::set<RightPanel> open) : open_(std::move(open)) {}

    bool contains(RightPanel panel) const { return open_.contains(panel); }
    bool empty() const { return open_.empty(); }
    // Each returns whether the set changed.
    bool insert(RightPanel panel);
    bool remove(RightPanel panel);
    void toggle(RightPanel panel);
    // The open panels, in the column's order.
    std::vector<RightPanel> inOrder() const;

    friend bool operator==(const OpenPanels &, const OpenPanels &) = default;

private:
    std::set<RightPanel> open_;
};

} // namespace tandrel
