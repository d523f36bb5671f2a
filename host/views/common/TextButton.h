#pragma once

#include <QAbstractButton>

namespace tandrel {

// A borderless button that is only its text, as plain and link-styled buttons are: drawn in
// its foreground colour (corvaneForeground; a link takes the kit's accent), dimmed while
// pressed or disabled, underlined while the pointer is over it.
class TextButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TextButton(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool hovering_ = false;
};

// A link-styled text button in the kit's micro text style.
TextButton *linkButton(const QString &text, QWidget *parent = nullptr);

} // namespace tandrel
