#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

namespace corvane {

// A round badge with a name's initials in the name's stable colour (or in `tint`), ringed in
// the accent stroke when highlighted.
class CorvaneInitialsBadge : public QWidget {
    Q_OBJECT

public:
    CorvaneInitialsBadge(const QString &name, double size, std::optional<QColor> tint = {},
                         bool isHighlighted = false, QWidget *parent = nullptr);

    QString name() const { return name_; }
    double badgeSize() const { return size_; }
    bool isHighlighted() const { return isHighlighted_; }
    QString initials() const;
    QColor resolvedTint() const;
    // 1.5 points when highlighted, else 0 (no ring).
    double ringWidth() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString name_;
    double size_;
    std::optional<QColor> tint_;
    bool isHighlighted_;
};

} // namespace corvane
