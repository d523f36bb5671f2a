#pragma once

#include <QRect>
#include <QScrollArea>

#include <vector>

namespace corvane {

// The kit's scroll view, for every view that scrolls: frameless and clear, so the glass or
// card behind it shows, scrolling vertically with the kit's indicators
// (corvaneScrollIndicators) rather than the desktop's bar with arrows. It asks for the height
// its content needs at the width it has, and asks again whenever its content does, so a panel
// that scrolls takes no more room than its rows; it gives way down to a line's height.
//
// A view of rows may show whole rows only: it then scrolls by rows (each stop puts a row's top
// at the top edge, the last stop too, the first row whose top lets the content's end into
// view; what the view has to spare then lies below the last row), and a row that the other
// edge would cut (a line of text cut mid-glyph) is left out until it is scrolled into view
// whole. Only a row taller than the view is shown in part. The rows are the widgets of
// the content's layout, and the rows of those of them that are marked as a group of rows
// (markRowGroup).
class CorvaneScrollArea : public QScrollArea {
    Q_OBJECT

public:
    enum class Rows { anyCut, wholeOnly };

    // The content may come later (setContent).
    explicit CorvaneScrollArea(QWidget *content = nullptr, Rows rows = Rows::anyCut,
                               QWidget *parent = nullptr);

    // Puts the content in the view, keeping it clear.
    void setContent(QWidget *content);

    // Marks a widget of a content's layout whose own layout's widgets are rows.
    static void markRowGroup(QWidget *group);
    // The rows of a content, in its coordinates, top to bottom (hidden ones left out).
    static std::vector<QRect> rowsOf(const QWidget *content);

    // The band of the viewport that is shown: all of it, or the whole rows in view.
    QRect shownBand() const;
    // The rows the view shows whole now, in the content's coordinates, top to bottom.
    std::vector<QRect> rowsInView() const;
    // Where the view may stop, from the top: the rows' tops, down to the first that shows the
    // content's end.
    std::vector<int> stops() const;
    // The most of `height` the view can use while it shows whole rows from the top: the end
    // of the last row that ends within it; `height` itself for a view of any rows, a content
    // that fits, or a first row taller than it.
    int heightShowingWholeRows(int height) const;

    // The content's height at a width, without scrolling.
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    // A short column takes from the views that scroll first: they keep a line's height, so
    // that the views that cannot scroll keep all of theirs; a view of whole rows keeps room for
    // its tallest row, and for its first with what lies above it, so that it shows a whole row
    // at every stop.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows only the whole rows in view, once events settle.
    void scheduleRowMask();
    void applyRowMask();
    // Moves a scroll position between stops on to the next stop in the direction it went.
    void snapToStop(int value);
    // Shows the indicator only while a content that wraps is taller, at the view's whole
    // width, than the view: narrowed by the indicator, such a content can grow taller than the
    // view only because the indicator shows, and would keep it.
    void updateIndicatorNeed();
    // Lets the view scroll on to put a row's top at the top edge, where the content's end at
    // the bottom edge would leave a row cut at the top.
    void extendRangeToARow();

    Rows rows_;
    bool maskPending_ = false;
    int lastValue_ = 0;
    bool snapping_ = false;
    // The indicator held off by updateIndicatorNeed(), where it would be shown as needed.
    bool indicatorHeldOff_ = false;
};

} // namespace corvane
