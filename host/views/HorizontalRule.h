#pragma once

#include <QWidget>

namespace tandrel {

// A 1-point line of the kit's divider colour across the whole width, less `inset` at each end.
class HorizontalRule : public QWidget {
    Q_OBJECT

public:
    explicit HorizontalRule(int inset = 0, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {2 * inset_, 1}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int inset_;
};

} // namespace tandrel
