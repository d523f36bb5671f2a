#include "host/views/TimelineListView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneStatusDot.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/ElidedLabel.h"
#include "host/views/StyledLabel.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

namespace {

// One timeline: a dot, its name, and "burning in" or its number of edits.
class TimelineRow : public QAbstractButton {
public:
    TimelineRow(const TimelineChoice &timeline, bool active) : active_(active) {
        setCursor(Qt::PointingHandCursor);
        setAccessibleName(QString::fromStdString(timeline.name));
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(10, 6, 10, 6);
        layout->setSpacing(10);
        layout->addWidget(new CorvaneStatusDot(active
                                                   ? Color::corvaneAccent()
                                                   : withOpacity(Color::corvaneTextTertiary(), 0.4),
                                               6, false),
                          0, Qt::AlignVCenter);
        auto *name = new ElidedLabel(QString::fromStdString(timeline.name));
        corvaneFont(name, 14, active ? CorvaneFontWeight::demiBold : CorvaneFontWeight::medium);
        corvaneForeground(name, active ? Color::primary() : Color::corvaneTextSecondary());
        layout->addWidget(name, 1);
        QString trailing;
        if (active) {
            trailing = QStringLiteral("burning in");
        } else if (timeline.editCount >= 1) {
            trailing = QStringLiteral("%1 edits").arg(timeline.editCount);
        }
        auto *label = styledLabel(trailing, corvaneMicro);
        if (active) {
            corvaneForeground(label, Color::corvaneAccent());
        }
        layout->addWidget(label, 0, Qt::AlignVCenter);
        for (QWidget *child : findChildren<QWidget *>()) {
            child->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
    }

    QSize sizeHint() const override { return layout()->sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (active_) {
            fillRounded(painter, rect(), 8, Color::corvaneAccentBackground());
            strokeRoundedInside(painter, rect(), 8, Color::corvaneAccentStroke());
        } else if (underMouse()) {
            fillRounded(painter, rect(), 8, Color::corvaneHover());
        }
    }
    void enterEvent(QEnterEvent *) override { update(); }
    void leaveEvent(QEvent *) override { update(); }

private:
    bool active_;
};

} // namespace

TimelineListView::TimelineListView(AppState &state, Preferences &, QWidget *parent)
    : QScrollArea(parent), state_(state) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    auto *content = new QWidget;
    cards_ = new QVBoxLayout(content);
    cards_->setContentsMargins(8, 8, 8, 8);
    cards_->setSpacing(8);
    setWidget(content);
    // The sidebar's card shows through (the scroll area fills its page otherwise).
    content->setAutoFillBackground(false);
    connect(&state, &AppState::availableTimelinesChanged, this, &TimelineListView::rebuild);
    connect(&state, &AppState::activeTimelineIDChanged, this, &TimelineListView::rebuild);
    rebuild();
}

void TimelineListView::rebuild() {
    while (QLayoutItem *item = cards_->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    std::string group;
    bool first = true;
    for (const TimelineChoice &timeline : state_.availableTimelines()) {
        const std::string key = timeline.library + '\x02' + timeline.eventName;
        if (first || key != group) {
            auto *caption = styledLabel(QString::fromStdString(timeline.eventName), corvaneMicro);
            QFont font = caption->font();
            font.setWeight(QFont::DemiBold);
            caption->setFont(font);
            caption->setContentsMargins(4, first ? 0 : 4, 4, 0);
            cards_->addWidget(caption);
            group = key;
            first = false;
        }
        const bool active = state_.activeTimelineID() == timeline.id;
        auto *row = new TimelineRow(timeline, active);
        connect(row, &QAbstractButton::clicked, this, [this, id = timeline.id, active] {
            state_.setActiveTimeline(active ? std::nullopt : std::optional(id));
        });
        cards_->addWidget(row);
    }
    cards_->addStretch(1);
}

} // namespace tandrel
