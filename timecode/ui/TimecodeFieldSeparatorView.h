#pragma once

#include "timecode/ui/ShapeStyle.h"

#include <QString>
#include <QWidget>

namespace timecode {

// The characters between two numbers of the field (" ", ":", ";" or "."), in the separator
// style of the settings, never wrapped or squeezed. Known as `TimecodeField::SeparatorView`.
class TimecodeFieldSeparatorView : public QWidget {
    Q_OBJECT
public:
    explicit TimecodeFieldSeparatorView(const QString &text, QWidget *parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString &text);
    // The style it draws in: the settings' separator style, or none (the surrounding colour).
    ShapeStyle style() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString text_;
};

} // namespace timecode
