#pragma once

#include "designkit/ContentWrapper.h"
#include "designkit/CorvaneChipAppearance.h"
#include "designkit/CorvaneChipStyle.h"

namespace corvane {

// The chip's look around any content: padding by size, a rounded fill and a 1-point border
// inside the edge, in the colours of its style and selection. The whole rounded rectangle,
// padding included, takes the pointer.
class CorvaneChipChrome : public ContentWrapper {
    Q_OBJECT

public:
    CorvaneChipChrome(QWidget *content, bool isSelected, const QColor &tint, CorvaneChipStyle style,
                      CorvaneChipSize size, QWidget *parent = nullptr);

    bool isSelected() const { return isSelected_; }
    void setSelected(bool isSelected);
    QColor tint() const { return tint_; }
    void setTint(const QColor &tint);
    CorvaneChipStyle chipStyle() const { return style_; }
    void setChipStyle(const CorvaneChipStyle &style);
    CorvaneChipSize chipSize() const { return size_; }
    void setChipSize(CorvaneChipSize size);

    // The fill and border it paints now.
    ChipColors colors() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool isSelected_;
    QColor tint_;
    CorvaneChipStyle style_;
    CorvaneChipSize size_;
};

CorvaneChipChrome *corvaneChipChrome(QWidget *content, bool isSelected, const QColor &tint,
                                     CorvaneChipStyle style, CorvaneChipSize size);

} // namespace corvane
