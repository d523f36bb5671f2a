#pragma once

#include <QWidget>

namespace corvane {

// A hairline across the available width, inset 12 points at both ends.
class CorvaneDivider : public QWidget {
    Q_OBJECT

public:
    explicit CorvaneDivider(QWidget *parent = nullptr);

    static constexpr int inset = 12;

    QSize sizeHint() const override { return {2 * inset, 1}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace corvane
