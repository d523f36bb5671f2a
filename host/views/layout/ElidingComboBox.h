#pragma once

#include <QComboBox>

namespace tandrel {

// A pop-up menu button that shows a choice too long for it cut short with "…" at its end, not
// clipped mid-word; its menu is wide enough for the longest choice.
class ElidingComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ElidingComboBox(QWidget *parent = nullptr);

    // The current choice as the button shows it, at its width now.
    QString shownText() const;

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect() const;
};

} // namespace tandrel
