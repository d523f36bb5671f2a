#pragma once

#include <QRectF>
#include <QWidget>

#include <optional>

namespace tandrel {

// The position preview's picture, sized at the frame's aspect by its canvas: the frame in
// black, the visible picture lightly lit and outlined when it is a crop, the reference grid
// over the visible picture and the snap guides across the whole area. The element chips are
// its children, drawn over it.
class PreviewCanvasArea : public QWidget {
    Q_OBJECT

public:
    struct Picture {
        QRectF frame;
        QRectF visible;
        bool showGrid = false;
        int gridDivisions = 3;
        std::optional<double> guideX;
        std::optional<double> guideY;
    };

    explicit PreviewCanvasArea(QWidget *parent = nullptr);

    void setPicture(Picture picture);
    const Picture &picture() const { return picture_; }

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Picture picture_;
};

} // namespace tandrel
