#pragma once

#include <QWidget>

namespace tandrel {

// One line of plain text, cut in the middle with an ellipsis when the view is narrower than
// the text, so that both ends of a file name stay. Drawn in the view's foreground colour and
// font.
class ElidedLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)

public:
    explicit ElidedLabel(const QString &text = {}, QWidget *parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString &text);
    void setAlignment(Qt::Alignment alignment);
    // The text as it is drawn at the view's width.
    QString shownText() const;

    // The whole text; at least an ellipsis and a few letters.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace tandrel
