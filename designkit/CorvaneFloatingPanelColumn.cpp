#include "designkit/CorvaneFloatingPanelColumn.h"

#include "designkit/CorvaneAnimation.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneScrollArea.h"

#include <QGraphicsOpacityEffect>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

#include <cmath>

namespace corvane {

namespace {

double opacityOf(const QWidget *panel) {
    const auto *effect = qobject_cast<QGraphicsOpacityEffect *>(panel->graphicsEffect());
    return effect != nullptr ? effect->opacity() : 1.0;
}

void setOpacity(QWidget *panel, double opacity) {
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(panel->graphicsEffect());
    if (effect == nullptr) {
        effect = new QGraphicsOpacityEffect(panel);
        panel->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
}

constexpr const char *sizingProperty = "corvanePanelSizing";

using Sizing = CorvaneFloatingPanelColumn::Sizing;

// The column's stack: the panels top to bottom, sharing its height by their sizing. No panel
// is made taller than its content asks: what is left stays below the last one.
class PanelStack : public QVBoxLayout {
public:
    // The panels are `panelWidth` wide.
    PanelStack(QWidget *parent, int panelWidth) : QVBoxLayout(parent), panelWidth_(panelWidth) {}

    void setGeometry(const QRect &rect) override {
        QLayout::setGeometry(rect);
        QRect area = rect.marginsRemoved(contentsMargins());
        std::vector<Share> shares = sharesAt(area.width());
        if (shares.empty()) {
            return;
        }
        // Tight, the panels may take the margin under the last one before anything gives way.
        const int gaps = spacing() * static_cast<int>(shares.size() - 1);
        int least = gaps;
        for (const Share &share : shares) {
            least += share.least;
        }
        area.setBottom(std::min(rect.bottom(), std::max(area.bottom(), area.top() + least - 1)));
        const int available = area.height() - gaps;
        int asked = 0;
        for (const Share &share : shares) {
            asked += share.height;
        }
        // Missing: taken from the panels that scroll, the tallest first, down to their least.
        int missing = asked - available;
        while (missing > 0) {
            Share *tallest = nullptr;
            for (Share &share : shares) {
                if (share.height > share.least &&
                    (tallest == nullptr || share.height > tallest->height)) {
                    tallest = &share;
                }
            }
            if (tallest == nullptr) {
                break;
            }
            // A point at a time, so that panels of one height give way evenly.
            --tallest->height;
            --missing;
        }
        showWholeRows(shares);
        int top = area.top();
        for (const Share &share : shares) {
            share.item->setGeometry(QRect(area.left(), top, area.width(), share.height));
            top += share.height + spacing();
        }
    }

    // The column's height is whatever it is given, down to the least: the panels share it.
    bool hasHeightForWidth() const override { return false; }

    // The panels at their least, one above the other: below it the column scrolls.
    QSize minimumSize() const override {
        const QMargins margins = contentsMargins();
        const std::vector<Share> shares = sharesAt(panelWidth_);
        // The margin under the last panel gives way first (setGeometry).
        int height = margins.top();
        for (const Share &share : shares) {
            height += share.least;
        }
        if (!shares.empty()) {
            height += spacing() * static_cast<int>(shares.size() - 1);
        }
        return {QVBoxLayout::minimumSize().width(), height};
    }

private:
    struct Share {
        QLayoutItem *item;
        int least;
        int height;
        int asked = 0;
    };

    int panelWidth_;

    // The rows of a panel that scrolls by whole rows, when it is one (a floating panel holding
    // such a scroll view), and what the panel takes around them.
    static const CorvaneScrollArea *wholeRows(const QLayoutItem *item, int &chrome) {
        const auto *panel = qobject_cast<const CorvaneFloatingPanel *>(item->widget());
        const auto *rows =
            panel != nullptr ? qobject_cast<const CorvaneScrollArea *>(panel->content()) : nullptr;
        if (rows != nullptr) {
            chrome = panel->minimumSizeHint().height() - rows->minimumSizeHint().height();
        }
        return rows;
    }

    // As short as the whole rows it shows of `share`'s panel, never below its least.
    static int showingWholeRows(const Share &share, const CorvaneScrollArea &rows, int chrome) {
        return std::max(share.least, chrome + rows.heightShowingWholeRows(share.height - chrome));
    }

    // A panel given less than it asks shows whole rows only, and would leave a band under the
    // last: it is made as short as those rows, and what it gives up goes to the others that
    // were given less than they ask, which may then show a row more. What no one can use stays
    // below the last panel.
    static void showWholeRows(std::vector<Share> &shares) {
        int spare = 0;
        for (int round = 0; round < 3; ++round) {
            for (Share &share : shares) {
                int chrome = 0;
                const CorvaneScrollArea *rows = wholeRows(share.item, chrome);
                if (rows == nullptr || share.height >= share.asked) {
                    continue;
                }
                const int shown = showingWholeRows(share, *rows, chrome);
                spare += share.height - shown;
                share.height = shown;
            }
            if (spare == 0) {
                return;
            }
            for (Share &share : shares) {
                int chrome = 0;
                if (wholeRows(share.item, chrome) == nullptr || share.height >= share.asked) {
                    continue;
                }
                const int more = std::min(spare, share.asked - share.height);
                share.height += more;
                spare -= more;
            }
        }
        // Any height still given beyond whole rows goes back to the column.
        for (Share &share : shares) {
            int chrome = 0;
            if (const CorvaneScrollArea *rows = wholeRows(share.item, chrome);
                rows != nullptr && share.height < share.asked) {
                share.height = showingWholeRows(share, *rows, chrome);
            }
        }
    }

    // Each shown panel at what its content asks at `width`, and the least it gives way to: a
    // panel that scrolls keeps its own least (a whole row), the others all they ask.
    std::vector<Share> sharesAt(int width) const {
        std::vector<Share> shares;
        for (int i = 0; i < count(); ++i) {
            QLayoutItem *item = itemAt(i);
            if (item->isEmpty()) {
                continue;
            }
            const Sizing sizing = item->widget() != nullptr
                                      ? CorvaneFloatingPanelColumn::sizingOf(item->widget())
                                      : Sizing::fixed;
            const int asked = std::min(item->hasHeightForWidth() ? item->heightForWidth(width)
                                                                 : item->sizeHint().height(),
                                       item->maximumSize().height());
            const int least =
                sizing == Sizing::scrolls ? std::min(item->minimumSize().height(), asked) : asked;
            shares.push_back({item, least, asked, asked});
        }
        return shares;
    }
};

QRect between(const QRect &from, const QRect &to, double progress) {
    const auto at = [progress](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * progress));
    };
    return {at(from.x(), to.x()), at(from.y(), to.y()), at(from.width(), to.width()),
            at(from.height(), to.height())};
}

} // namespace

CorvaneFloatingPanelColumn::CorvaneFloatingPanelColumn(double width, HorizontalEdge edge,
                                                       QWidget *parent)
    : QWidget(parent), width_(width), edge_(edge), scroll_(new CorvaneScrollArea(nullptr)),
      panels_(new QWidget), stack_(new PanelStack(panels_, static_cast<int>(std::round(width)))),
      slide_(new CorvaneAnimation(this)), reflow_(new CorvaneAnimation(this)) {
    const bool leading = edge_ == HorizontalEdge::leading;
    stack_->setContentsMargins(leading ? padding : 0, padding, leading ? 0 : padding, padding);
    stack_->setSpacing(spacing);
    // Where the panels cannot all show a whole row of theirs, the column scrolls.
    scroll_->setParent(this);
    scroll_->setContent(panels_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setRevealed(1);
}

CorvaneFloatingPanelColumn::~CorvaneFloatingPanelColumn() {
    reflow_->stop();
}

void CorvaneFloatingPanelColumn::addPanel(QWidget *panel, Sizing sizing) {
    insertPanel(stack_->count(), panel, sizing);
}

CorvaneFloatingPanelColumn::Sizing CorvaneFloatingPanelColumn::sizingOf(const QWidget *panel) {
    const QVariant sizing = panel->property(sizingProperty);
    return sizing.isValid() ? static_cast<Sizing>(sizing.toInt()) : Sizing::scrolls;
}

void CorvaneFloatingPanelColumn::insertPanel(int index, QWidget *panel, Sizing sizing,
                                             bool animated) {
    panel->setProperty(sizingProperty, static_cast<int>(sizing));
    const auto change = [this, index, panel] {
        if (stack_->indexOf(panel) >= 0) {
            stack_->removeWidget(panel);
        }
        stack_->insertWidget(std::clamp(index, 0, stack_->count()), panel);
        panel->show();
    };
    if (animated && isVisible()) {
        rearrange(change, panel, nullptr);
    } else {
        change();
        updateGeometry();
    }
}

void CorvaneFloatingPanelColumn::removePanel(QWidget *panel, bool animated) {
    if (stack_->indexOf(panel) < 0) {
        return;
    }
    const auto change = [this, panel] { stack_->removeWidget(panel); };
    if (animated && isVisible()) {
        rearrange(change, nullptr, panel);
        return;
    }
    change();
    panel->hide();
    // Later: the panel's own close button may be what runs now.
    panel->deleteLater();
    updateGeometry();
}

QList<QWidget *> CorvaneFloatingPanelColumn::panels() const {
    QList<QWidget *> shown;
    for (int i = 0; i < stack_->count(); ++i) {
        if (QWidget *panel = stack_->itemAt(i)->widget()) {
            shown.push_back(panel);
        }
    }
    return shown;
}

bool CorvaneFloatingPanelColumn::isRearranging() const {
    return reflow_->isRunning();
}

void CorvaneFloatingPanelColumn::rearrange(const std::function<void()> &change, QWidget *entering,
                                           QWidget *leaving) {
    // The top of the room of the panel at `index` of the stack, where the panels above it are
    // at `rect` of theirs.
    const auto roomTop = [this](int index, const std::function<QRect(QWidget *)> &rect) {
        QWidget *above = index > 0 ? stack_->itemAt(index - 1)->widget() : nullptr;
        return above != nullptr ? rect(above).bottom() + 1 + spacing : padding;
    };
    // Where everything is now, mid-way through an earlier rearrangement included.
    std::vector<Move> moves;
    for (QWidget *panel : panels_->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (panel->isHidden()) {
            continue;
        }
        const auto earlier =
            std::ranges::find_if(moves_, [panel](const Move &move) { return move.panel == panel; });
        const bool clipped = earlier != moves_.end() && earlier->clipped;
        moves.push_back(
            {.panel = panel,
             .from = panel->geometry(),
             .to = panel->geometry(),
             .fromShown = clipped ? panel->mask().intersected(panel->rect()).boundingRect().height()
                                  : panel->height(),
             .toShown = panel->height(),
             .fromOpacity = opacityOf(panel),
             .toOpacity = 1,
             .clipped = clipped,
             .leaves = earlier != moves_.end() && earlier->leaves});
    }
    const int leavingIndex = leaving != nullptr ? stack_->indexOf(leaving) : -1;
    // Where a leaving panel's room closes: under the panel above it, where that one ends up.
    QWidget *aboveLeaving = leavingIndex > 0 ? stack_->itemAt(leavingIndex - 1)->widget() : nullptr;
    change();
    // Where the stack puts the panels that stay.
    stack_->setEnabled(true);
    stack_->invalidate();
    stack_->activate();
    const std::function<QRect(QWidget *)> fromOf = [&moves](QWidget *panel) {
        const auto found =
            std::ranges::find_if(moves, [panel](const Move &move) { return move.panel == panel; });
        return found != moves.end() ? found->from : panel->geometry();
    };
    bool enters = entering != nullptr;
    for (Move &move : moves) {
        if (move.panel == leaving) {
            move.leaves = true;
            move.clipped = true;
        }
        if (move.leaves) {
            // It closes at the top of its room, under the panel above it.
            const int top = move.panel == leaving && aboveLeaving != nullptr
                                ? aboveLeaving->geometry().bottom() + 1 + spacing
                                : (move.panel == leaving ? padding : move.from.top());
            move.to = QRect(move.from.left(), top, move.from.width(), move.from.height());
            move.toShown = 0;
            move.toOpacity = 0;
        } else if (move.panel == entering) {
            enters = false;
            move.to = move.panel->geometry();
        } else {
            move.to = move.panel->geometry();
            move.toShown = move.to.height();
        }
    }
    if (enters) {
        // New to the column: it opens from the top of its room, fading in.
        const QRect place = entering->geometry();
        const int top = roomTop(stack_->indexOf(entering), fromOf);
        moves.push_back({.panel = entering,
                         .from = QRect(place.left(), top, place.width(), place.height()),
                         .to = place,
                         .fromShown = 0,
                         .toShown = place.height(),
                         .fromOpacity = 0,
                         .toOpacity = 1,
                         .clipped = true,
                         .leaves = false});
    }
    moves_ = std::move(moves);
    // The stack would put the panels straight where they end.
    stack_->setEnabled(false);
    reflow_->start(
        panelTransition, CorvaneAnimation::easeInOut(),
        [this](double progress) { showRearrangement(progress); }, [this] { endRearrangement(); });
    updateGeometry();
}

void CorvaneFloatingPanelColumn::showRearrangement(double progress) {
    const auto at = [progress](double from, double to) { return from + (to - from) * progress; };
    for (const Move &move : moves_) {
        if (move.panel == nullptr) {
            continue;
        }
        if (move.clipped) {
            // Moved whole, and shown from its top down to what is open of its room: its
            // content keeps its layout while the room opens or closes.
            const QRect rect = between(move.from, move.to, progress);
            move.panel->setGeometry(rect.left(), rect.top(), move.to.width(),
                                    std::max(move.from.height(), move.to.height()));
            const int shown = static_cast<int>(std::lround(at(move.fromShown, move.toShown)));
            // An empty mask would show it all: nothing shown is a mask beside it.
            move.panel->setMask(shown > 0 ? QRegion(0, 0, move.panel->width(), shown)
                                          : QRegion(-1, -1, 1, 1));
        } else {
            move.panel->setGeometry(between(move.from, move.to, progress));
        }
        setOpacity(move.panel, at(move.fromOpacity, move.toOpacity));
    }
}

void CorvaneFloatingPanelColumn::endRearrangement() {
    for (const Move &move : std::exchange(moves_, {})) {
        if (move.panel == nullptr) {
            continue;
        }
        move.panel->setGraphicsEffect(nullptr);
        move.panel->clearMask();
        if (move.leaves) {
            move.panel->hide();
            move.panel->deleteLater();
        }
    }
    stack_->setEnabled(true);
    stack_->invalidate();
    stack_->activate();
}

int CorvaneFloatingPanelColumn::fullWidth() const {
    return static_cast<int>(std::round(width_)) + padding;
}

QSize CorvaneFloatingPanelColumn::sizeHint() const {
    return {static_cast<int>(std::round(fullWidth() * revealed_)), panels_->sizeHint().height()};
}

QSize CorvaneFloatingPanelColumn::minimumSizeHint() const {
    // It scrolls: any height will do.
    return {sizeHint().width(), 0};
}

QRect CorvaneFloatingPanelColumn::panelsGeometry() const {
    // The panels keep their full width; the column shows the part of them nearest its inner
    // side, so they move out through the edge they sit against.
    const int shown = width();
    const int x = edge_ == HorizontalEdge::leading ? shown - fullWidth() : 0;
    return QRect(x, 0, fullWidth(), height());
}

void CorvaneFloatingPanelColumn::resizeEvent(QResizeEvent *) {
    scroll_->setGeometry(panelsGeometry());
}

void CorvaneFloatingPanelColumn::setRevealed(double revealed) {
    revealed_ = revealed;
    setFixedWidth(sizeHint().width());
    scroll_->setGeometry(panelsGeometry());
}

void CorvaneFloatingPanelColumn::setVisible(bool visible) {
    slide_->stop();
    if (reflow_->isRunning()) {
        reflow_->stop();
        endRearrangement();
    }
    setRevealed(1);
    QWidget::setVisible(visible);
}

void CorvaneFloatingPanelColumn::setVisibleAnimated(bool visible, CorvaneClock::Duration duration) {
    double from = revealed_;
    if (visible && isHidden()) {
        from = 0;
        setRevealed(0);
        QWidget::setVisible(true);
    } else if (!visible && isHidden()) {
        return;
    }
    const double to = visible ? 1 : 0;
    slide_->start(
        duration, CorvaneAnimation::easeInOut(),
        [this, from, to](double progress) { setRevealed(from + (to - from) * progress); },
        [this, visible] {
            if (!visible) {
                QWidget::setVisible(false);
                setRevealed(1);
            }
        });
}

} // namespace corvane
