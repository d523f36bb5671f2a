#include "host/views/main/StatusBarView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneStatusDot.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/main/ActivityIndicator.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

namespace tandrel {

using namespace corvane;

// The plain refresh button: the arrow, or the small spinner while a refresh runs (and then it
// takes no clicks).
class RefreshButton : public QAbstractButton {
public:
    RefreshButton() : spinner_(new ActivityIndicator(12, this)) {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        setFocusPolicy(Qt::TabFocus);
        spinner_->hide();
    }

    void setRefreshing(bool refreshing) {
        setEnabled(!refreshing);
        spinner_->setVisible(refreshing);
        update();
    }
    bool showsSpinner() const { return !spinner_->isHidden(); }

    QSize sizeHint() const override {
        const int side = static_cast<int>(std::ceil(CorvaneSymbols::side(13)));
        return {side, side};
    }

protected:
    void resizeEvent(QResizeEvent *) override {
        spinner_->setGeometry(QRect(QPoint(), spinner_->sizeHint())
                                  .translated((width() - spinner_->sizeHint().width()) / 2,
                                              (height() - spinner_->sizeHint().height()) / 2));
    }

    void paintEvent(QPaintEvent *) override {
        if (showsSpinner()) {
            return;
        }
        QPainter painter(this);
        if (isDown()) {
            painter.setOpacity(0.5);
        }
        const double side = std::min({CorvaneSymbols::side(13), double(width()), double(height())});
        CorvaneSymbols::paint(painter,
                              QRectF((width() - side) / 2, (height() - side) / 2, side, side),
                              QStringLiteral("arrow.clockwise"), QFont::Normal, foregroundOf(this));
    }

private:
    ActivityIndicator *spinner_;
};

StatusBarView::StatusBarView(AppState &state, std::shared_ptr<const platform::Clock> clock,
                             platform::TimerFactory timers, QWidget *parent)
    : QWidget(parent), state_(state), clock_(std::move(clock)), recount_(timers()),
      // Cut in the middle: a long name gives way, the count after it stays.
      status_(new ElidedLabel({}, Qt::ElideMiddle)), updated_(styledLabel({}, corvaneMicro)),
      refresh_(new RefreshButton) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(8);
    dot_ = new CorvaneStatusDot(Color::corvaneTextTertiary(), 8, false);
    layout->addWidget(dot_, 0, Qt::AlignVCenter);
    corvaneFont(status_, 12, CorvaneFontWeight::medium);
    corvaneForeground(status_, Color::corvaneTextSecondary());
    layout->addWidget(status_, 1);
    layout->addWidget(updated_);
    corvaneForeground(refresh_, Color::corvaneTextSecondary());
    corvaneTooltip(refresh_, QString::fromUtf8(StatusBarContent::refreshTooltip));
    refresh_->setAccessibleName(QString::fromUtf8(StatusBarContent::refreshAccessibilityLabel));
    layout->addWidget(refresh_);
    connect(refresh_, &QAbstractButton::clicked, this,
            [this] { state_.refreshNow(); });

    for (const auto changed :
         {&AppState::snapshotWrittenChanged, &AppState::statusMessageChanged,
          &AppState::lastSnapshotTimeChanged, &AppState::isRefreshingChanged}) {
        connect(&state, changed, this, &StatusBarView::refresh);
    }
    refresh();
}

StatusBarView::~StatusBarView() = default;

QAbstractButton *StatusBarView::refreshButton() const {
    return refresh_;
}

void StatusBarView::refresh() {
    display(StatusBarContent::of(state_, clock_->now()));
    if (const auto &last = state_.lastSnapshotTime()) {
        recount_->start(RelativeTimeText::untilChange(*last, clock_->now()), [this] { refresh(); });
    } else {
        recount_->stop();
    }
}

void StatusBarView::display(const StatusBarContent &content) {
    dot_->setColor(content.snapshotWritten ? Color::green() : Color::corvaneTextTertiary());
    content_ = content;
    status_->setText(QString::fromStdString(content.statusMessage));
    updated_->setText(QString::fromStdString(content.updatedText.value_or("")));
    updated_->setVisible(content.updatedText.has_value());
    refresh_->setRefreshing(content.isRefreshing);
}

} // namespace tandrel
