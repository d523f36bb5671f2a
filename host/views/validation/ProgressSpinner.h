#pragma once

#include <QWidget>

namespace tandrel {

// The small indeterminate progress indicator: an arc that turns while the view is visible,
// on the design kit's clock (so a test's manual clock holds it still).
class ProgressSpinner : public QWidget {
    Q_OBJECT

public:
    explicit ProgressSpinner(QWidget *parent = nullptr);

    QSize sizeHint() const override { return {side, side}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int side = 16;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void turn();

    int step_ = 0;
    bool turning_ = false;
};

} // namespace tandrel
