#pragma once

#include <QComboBox>

namespace corvane {

// A pop-up menu button that shows a choice too long for it cut short with "…" at its end, not
// clipped mid-word (TextElision). Its menu is wide enough for the longest choice, up to
// `maximumPopupWidth` points (or the button's width, when that is more): a choice longer still
// is cut short in the menu too, so that a name of hundreds of characters does not spread the
// menu across the screen.
class CorvaneElidingComboBox : public QComboBox {
    Q_OBJECT

public:
    static constexpr int maximumPopupWidth = 480;

    explicit CorvaneElidingComboBox(QWidget *parent = nullptr);

    // The current choice as the button shows it, at its width now.
    QString shownText() const;
    // The width the menu opens at, for the button's width now.
    int popupWidth() const;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect() const;
};

} // namespace corvane
