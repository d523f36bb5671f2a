#pragma once

#include <QWidget>

namespace tandrel {

// One line of plain text that shortens itself with "…" when it gets less room than it needs,
// at the end or in the middle; it asks for its whole text's width but settles for less.
class ElidedLabel : public QWidget {
    Q_OBJECT

public:
    explicit ElidedLabel(const QString &text = {}, Qt::TextElideMode mode = Qt::ElideRight,
                         QWidget *parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString &text);
    // The text as drawn at the present width.
    QString shownText() const;
    bool isElided() const { return shownText() != text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text_;
    Qt::TextElideMode mode_;
};

} // namespace tandrel
