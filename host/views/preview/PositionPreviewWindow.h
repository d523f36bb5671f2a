#pragma once

#include "host/views/preview/PositionPreviewCanvas.h"

#include <QWidget>

class QStackedLayout;

namespace tandrel {

class AppState;
class ElidedLabel;

// The content of the "positionPreview" window: the active preset's position preview at a
// larger size, titled "Position Preview — <preset name>", with grid, snap and guides of its
// own that start off (3 divisions) each time the window is made. Its texts are in the kit's
// face, as the layout editor pane's are. It edits the same presets
// as the layout editor pane, so a change in one shows in the other at once. Without an active
// preset it shows "No preset selected." only.
class PositionPreviewWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize minimumContentSize{900, 650};
    static constexpr QSize idealContentSize{1200, 800};

    explicit PositionPreviewWindow(AppState &state, QWidget *parent = nullptr);
    // `options` gives the canvas its crop picker and services; its grid, snap and guide
    // values are replaced by the window's starting ones.
    PositionPreviewWindow(AppState &state, PositionPreviewCanvas::Options options,
                          QWidget *parent = nullptr);

    QSize sizeHint() const override { return idealContentSize; }

    PositionPreviewCanvas *canvas() const { return canvas_; }
    // "Position Preview — " and the active preset's name, cut with "…" where the window is
    // too narrow for it.
    QString title() const;
    ElidedLabel *titleLabel() const { return title_; }
    bool showsPlaceholder() const;

private:
    void refresh();

    AppState &state_;
    QStackedLayout *pages_;
    QWidget *placeholder_;
    QWidget *content_;
    ElidedLabel *title_;
    PositionPreviewCanvas *canvas_;
};

} // namespace tandrel
