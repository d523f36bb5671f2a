#pragma once

#include "host/views/validation/ValidationView.h"

namespace tandrel {

// What the window shows while no timeline is selected: what to do first, in a faint box.
class ValidationView::NoTimelineNotice : public QWidget {
public:
    explicit NoTimelineNotice(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tandrel
