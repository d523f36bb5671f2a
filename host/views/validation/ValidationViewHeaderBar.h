#pragma once

#include "host/views/validation/ValidationView.h"

#include <optional>
#include <string>

class QLabel;

namespace tandrel {

// The window's title row: a seal in the accent colour, the title, and under it the timeline
// being compared when the host knows its name.
class ValidationView::HeaderBar : public QWidget {
public:
    explicit HeaderBar(const std::optional<std::string> &activeTimelineName,
                       QWidget *parent = nullptr);

    void setActiveTimelineName(const std::optional<std::string> &activeTimelineName);

private:
    QLabel *timeline_;
};

} // namespace tandrel
