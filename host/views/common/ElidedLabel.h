#pragma once

#include <QWidget>

namespace tandrel {

// One line of plain text that shortens itself with "…" when it gets less room than it needs,
// at the end or in the middle (so that both ends of a file name stay); it asks for its whole
// text's width but settles for less. Drawn in the view's foreground colour and font.
class ElidedLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)

public:
    explicit ElidedLabel(const QString &text = {}, Qt::TextElideMode mode = Qt::ElideRight,
                         QWidget *parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString &text);
    void setAlignment(Qt::Alignment alignment);
    // The text as drawn at the present width.
    QString shownText() const;
    bool isElided() const { return shownText() != text_; }

    // The whole text; at least an ellipsis and a few letters.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString text_;
    Qt::TextElideMode mode_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace tandrel
