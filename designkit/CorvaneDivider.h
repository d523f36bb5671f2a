#pragma once

#include <QWidget>

namespace corvane {

// A hairline across the available width, inset at both ends: 12 points unless told.
class CorvaneDivider : public QWidget {
    Q_OBJECT

public:
    static constexpr int standardInset = 12;

    explicit CorvaneDivider(QWidget *parent = nullptr);
    // A divider of its own inset; 0 runs it from edge to edge.
    explicit CorvaneDivider(int inset, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {2 * inset_, 1}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int inset_;
};

} // namespace corvane
