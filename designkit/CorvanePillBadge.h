#pragma once

#include <QColor>
#include <QLabel>

#include <cstdint>

namespace corvane {

class CorvanePillBadgeStyle {
public:
    enum Case : uint8_t { soft, solid };

    constexpr CorvanePillBadgeStyle(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

private:
    Case value_;
};

// A small capsule with a short upper-case text: `soft` shows the tint at 18 % behind text in
// the tint, `solid` the full tint behind white text.
class CorvanePillBadge : public QLabel {
    Q_OBJECT

public:
    struct Colors {
        QColor fill;
        QColor foreground;
        friend bool operator==(const Colors &, const Colors &) = default;
    };

    CorvanePillBadge(const QString &text, const QColor &tint,
                     CorvanePillBadgeStyle style = CorvanePillBadgeStyle::soft,
                     QWidget *parent = nullptr);

    static QString displayText(const QString &text);
    static Colors colors(CorvanePillBadgeStyle style, const QColor &tint);

    Colors colors() const { return colors(style_, tint_); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor tint_;
    CorvanePillBadgeStyle style_;
};

} // namespace corvane
