#pragma once

#include <QFont>
#include <QWidget>

#include <optional>

namespace tandrel {

// One line of plain text that shortens itself with "…" when it gets less room than it needs,
// at the end or in the middle (so that both ends of a file name stay); it asks for its whole
// text's width but settles for less. Drawn in the view's foreground colour and font.
//
// Whatever it is given, it keeps no more than a line can show: at most maxCharacters
// characters of at most 31 code points (elided in the middle, looking at no more than the
// text's ends), with every control it holds raw shown rather than obeyed (a name shown
// already, shownText, keeps its escapes and isolates). It measures and elides that bounded
// text, once for each width.
class ElidedLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)

public:
    static constexpr std::size_t maxCharacters = 300;

    explicit ElidedLabel(const QString &text = {}, Qt::TextElideMode mode = Qt::ElideRight,
                         QWidget *parent = nullptr);

    // The text as kept: the one given, bounded as above.
    QString text() const { return text_; }
    void setText(const QString &text);
    void setAlignment(Qt::Alignment alignment);
    // The text as drawn at the present width.
    QString shownText() const;
    bool isElided() const { return shownText() != text_; }

    // The whole text; at least an ellipsis and a few letters.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // A text as a label keeps it (see above).
    static QString bounded(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString text_;
    Qt::TextElideMode mode_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;

    struct Shown {
        int width;
        QFont font;
        QString text;
    };
    mutable std::optional<Shown> shown_;
    mutable std::optional<int> textWidth_;
};

} // namespace tandrel
