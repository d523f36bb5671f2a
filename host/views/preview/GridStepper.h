#pragma once

#include <QWidget>

class QAbstractButton;
class QLabel;

namespace tandrel {

// The grid's division count as "N×N" with a pair of step buttons; it stays within its range
// (each button is disabled at its end).
class GridStepper : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimum = 2;
    static constexpr int maximum = 8;

    explicit GridStepper(int value, QWidget *parent = nullptr);

    int value() const { return value_; }
    // Kept within minimum…maximum.
    void setValue(int value);
    QString text() const;

    QAbstractButton *decrementButton() const { return decrement_; }
    QAbstractButton *incrementButton() const { return increment_; }

signals:
    void valueChanged(int value);

private:
    int value_;
    QLabel *label_;
    QAbstractButton *decrement_;
    QAbstractButton *increment_;
};

} // namespace tandrel
