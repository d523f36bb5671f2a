#include "host/views/main/TimelineListView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneAnimation.h"
#include "designkit/CorvaneChipChrome.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneStatusDot.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/Preferences.h"
#include "host/views/common/QtText.h"
#include "host/views/common/StyledLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace tandrel {

using namespace corvane;

namespace {

// Between a card's header and its rows, and between rows.
constexpr int rowSpacing = 4;

// The tertiary level of the text hierarchy: fainter than the micro style's own colour.
QColor hierarchicalTertiary() {
    return withOpacity(Color::primary(), 0.38);
}

// A line of outside text: a name or a path from the library.
ElidedLabel *microLine(const std::string &text, Qt::TextElideMode mode = Qt::ElideRight) {
    auto *label = new ElidedLabel(shownText(text), mode);
    corvaneMicro(label);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return label;
}

} // namespace

// The card's chevron: pointing right while the card is closed, down while it is open, and
// turning between the two while the card slides.
class CardChevron : public QWidget {
public:
    static constexpr double pointSize = 9;

    explicit CardChevron(double angle) : angle_(angle) {
        const int side = static_cast<int>(std::ceil(CorvaneSymbols::side(pointSize)));
        setFixedSize(side, side);
    }

    double angle() const { return angle_; }
    void setAngle(double angle) {
        angle_ = angle;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(QRectF(rect()).center());
        painter.rotate(angle_);
        const QRectF square(-width() / 2.0, -height() / 2.0, width(), height());
        CorvaneSymbols::paint(painter, square, QStringLiteral("chevron.right"), QFont::DemiBold,
                              foregroundOf(this));
    }

private:
    double angle_;
};

// The rows of a card, shown as far as the card is open: the rows keep their height and the
// area shows their top part, so they slide in and out rather than squeeze.
class RowsReveal : public QWidget {
public:
    explicit RowsReveal(QWidget *rows) : rows_(rows) {
        rows_->setParent(this);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }

    void setOpenness(double openness) {
        openness_ = openness;
        updateGeometry();
    }

    QSize sizeHint() const override {
        const QSize full = rows_->sizeHint();
        return {full.width(), static_cast<int>(std::lround(full.height() * openness_))};
    }
    QSize minimumSizeHint() const override {
        return {rows_->minimumSizeHint().width(), sizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent *) override {
        rows_->setGeometry(0, 0, width(), rows_->sizeHint().height());
    }

private:
    QWidget *rows_;
    double openness_ = 1;
};

TimelineRow::TimelineRow(const TimelineRowContent &content, QWidget *parent)
    : LaidOutButton(parent), content_(content) {
    const TimelineChoice &timeline = content.timeline;
    // The name as every view shows it: one line, bounded, its controls shown; a name of
    // megabytes costs what its ends do.
    const QString name = shownText(timeline.name);
    setAccessibleName(name);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto *label = new QWidget;
    auto *line = new QHBoxLayout(label);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    line->addWidget(new CorvaneStatusDot(content.isActive
                                             ? Color::corvaneAccent()
                                             : withOpacity(Color::corvaneTextTertiary(), 0.4),
                                         CorvaneDesign::DotSize::dense, false),
                    0, Qt::AlignVCenter);

    auto *lines = new QVBoxLayout;
    lines->setSpacing(1);
    name_ = new ElidedLabel(name);
    // As wide as its text, where the row has the room: its tooltip centres on the name.
    name_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    corvaneFont(name_, 14,
                content.isActive ? CorvaneFontWeight::demiBold : CorvaneFontWeight::medium);
    corvaneForeground(name_, content.isActive ? Color::primary() : Color::corvaneTextSecondary());
    corvaneTooltip(name_, name);
    // Held to the leading side, so the lines still take the row's room and the trailing label
    // stands at the row's end, whichever lines the row shows.
    lines->addWidget(name_, 0, Qt::AlignLeft);
    if (content.libraryLine) {
        library_ = microLine(*content.libraryLine);
        lines->addWidget(library_);
    }
    if (content.sourcePath) {
        sourcePath_ = microLine(*content.sourcePath, Qt::ElideMiddle);
        corvaneForeground(sourcePath_, hierarchicalTertiary());
        corvaneTooltip(sourcePath_, shownText(timeline.eventPath));
        lines->addWidget(sourcePath_);
    }
    line->addLayout(lines, 1);

    if (content.trailingLabel) {
        auto *trailing = styledLabel(QString::fromStdString(*content.trailingLabel), corvaneMicro);
        if (content.isBurningIn) {
            corvaneForeground(trailing, Color::corvaneAccent());
        }
        trailing_ = trailing;
        line->addWidget(trailing, 0, Qt::AlignVCenter);
    }

    chip_ = new CorvaneChipChrome(label, content.isActive, Color::corvaneAccent(),
                                  CorvaneChipStyle::standard(), CorvaneChipSize::comfortable);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chip_);
    // Presses on the texts fall through to the row; the texts keep the pointer for their
    // tooltips.
}

QSize LaidOutButton::sizeHint() const {
    return layout()->sizeHint();
}

QSize LaidOutButton::minimumSizeHint() const {
    return layout()->minimumSize();
}

void LaidOutButton::paintEvent(QPaintEvent *) {
    // Its children draw it.
}

TimelineCardHeader::TimelineCardHeader(const TimelineCardContent &content, QWidget *parent)
    : LaidOutButton(parent), expanded_(content.isExpanded) {
    setAccessibleName(shownText(content.eventName));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(4);
    chevron_ = new CardChevron(content.isExpanded ? 90 : 0);
    layout->addWidget(chevron_, 0, Qt::AlignVCenter);

    auto *names = new QVBoxLayout;
    names->setSpacing(0);
    auto *event = microLine(content.eventName);
    QFont semibold = event->font();
    semibold.setWeight(QFont::DemiBold);
    event->setFont(semibold);
    names->addWidget(event);
    if (content.libraryLine) {
        auto *library = microLine(*content.libraryLine);
        corvaneForeground(library, hierarchicalTertiary());
        library_ = library;
        names->addWidget(library);
    }
    layout->addLayout(names, 1);
    if (!content.isExpanded) {
        auto *count = styledLabel(QString::fromStdString(content.timelineCount), corvaneMicro);
        corvaneForeground(count, hierarchicalTertiary());
        count_ = count;
        layout->addWidget(count, 0, Qt::AlignVCenter);
    }
    // The whole header takes the click, its texts included.
    for (QWidget *child : findChildren<QWidget *>()) {
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

double TimelineCardHeader::chevronAngle() const {
    return chevron_->angle();
}

void TimelineCardHeader::setChevronAngle(double degrees) {
    chevron_->setAngle(degrees);
}

TimelineCard::TimelineCard(const TimelineCardContent &content,
                           const std::vector<TimelineRowContent> &closingRows, QWidget *parent)
    : QWidget(parent), content_(content), header_(new TimelineCardHeader(content)),
      slide_(new CorvaneAnimation(this)), openness_(content.isExpanded ? 1 : 0) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(0);
    layout->addWidget(header_);
    const std::vector<TimelineRowContent> &shown = content.isExpanded ? content.rows : closingRows;
    if (shown.empty()) {
        return;
    }
    // The rows in an area of their own, which the slide clips; its top margin is the card's
    // spacing, so a closed card is just its header.
    auto *rowsContent = new QWidget;
    auto *rows = new QVBoxLayout(rowsContent);
    rows->setContentsMargins(0, rowSpacing, 0, 0);
    rows->setSpacing(rowSpacing);
    for (const TimelineRowContent &row : shown) {
        auto *view = new TimelineRow(row);
        rows->addWidget(view);
        if (content.isExpanded) {
            rows_.push_back(view);
        }
    }
    rowsArea_ = new RowsReveal(rowsContent);
    // Closing rows only slide out.
    rowsArea_->setEnabled(content.isExpanded);
    layout->addWidget(rowsArea_);
}

void TimelineCard::slide() {
    if (rowsArea_ == nullptr) {
        return;
    }
    const bool opening = content_.isExpanded;
    setOpenness(opening ? 0 : 1);
    slide_->start(
        toggleSlide, CorvaneAnimation::easeInOut(),
        [this, opening](double progress) { setOpenness(opening ? progress : 1 - progress); },
        [this, opening] {
            if (!opening) {
                // The closed card is its header alone.
                rowsArea_->hide();
                rowsArea_->deleteLater();
                rowsArea_ = nullptr;
            }
        });
}

void TimelineCard::setOpenness(double openness) {
    openness_ = openness;
    header_->setChevronAngle(90 * openness);
    if (rowsArea_ != nullptr) {
        rowsArea_->setOpenness(openness);
    }
}

void TimelineCard::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, rect(), CorvaneDesign::CornerRadius::card, Color::corvaneCardFill());
}

TimelineListView::TimelineListView(AppState &state, Preferences &preferences, QWidget *parent)
    : CorvaneScrollArea(nullptr, Rows::anyCut, parent), state_(state), preferences_(preferences) {
    auto *content = new QWidget;
    stack_ = new QVBoxLayout(content);
    stack_->setContentsMargins(8, 8, 8, 8);
    stack_->setSpacing(8);
    stack_->addStretch(1);
    // The sidebar's card shows through.
    setContent(content);
    for (const auto changed :
         {&AppState::availableTimelinesChanged, &AppState::watchedLibrariesChanged,
          &AppState::activeTimelineIDChanged, &AppState::snapshotWrittenChanged}) {
        connect(&state, changed, this, &TimelineListView::rebuild);
    }
    // Another window opened or closed a card.
    connect(&preferences, &Preferences::changed, this, [this](const QString &key) {
        if (key == QLatin1String(Preferences::expandedEventsKey)) {
            rebuild();
        }
    });
    rebuild();
}

std::string TimelineListView::expandedEventsStored() const {
    return preferences_.text(QString::fromUtf8(Preferences::expandedEventsKey), QString())
        .toStdString();
}

void TimelineListView::toggleExpanded(const std::string &groupKey) {
    // The rows a closing card had, to slide them out of the card that replaces it.
    Toggle toggle{groupKey, {}};
    for (const TimelineCard *card : cards_) {
        if (card->content().groupKey == groupKey && card->content().isExpanded) {
            toggle.closingRows = card->content().rows;
        }
    }
    toggle_ = std::move(toggle);
    const std::string stored =
        TimelineListContent::toggledExpanded(expandedEventsStored(), groupKey);
    // Builds the list again, every window's.
    preferences_.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                          QString::fromStdString(stored));
    toggle_.reset();
}

void TimelineListView::rebuild() {
    for (TimelineCard *card : cards_) {
        // Taken out at once; deleted later, as the click that asked for this may be its own.
        card->hide();
        stack_->removeWidget(card);
        card->deleteLater();
    }
    cards_.clear();
    const std::vector<TimelineCardContent> cards = TimelineListContent::cards(
        state_.availableTimelines(), state_.activeTimelineID(), state_.snapshotWritten(),
        state_.watchedLibraries().size(), expandedEventsStored());
    for (const TimelineCardContent &content : cards) {
        const bool toggled = toggle_ && toggle_->groupKey == content.groupKey;
        auto *card = new TimelineCard(content, toggled ? toggle_->closingRows
                                                       : std::vector<TimelineRowContent>{});
        connect(card->header(), &QAbstractButton::clicked, this,
                [this, key = content.groupKey] { toggleExpanded(key); });
        for (TimelineRow *row : card->rows()) {
            connect(row, &QAbstractButton::clicked, this, [this, row] {
                const TimelineRowContent &clicked = row->content();
                // Decided at the click: a row drawn before the active timeline changed still
                // does the right thing.
                const bool isActive = state_.activeTimelineID() == clicked.timeline.id;
                state_.setActiveTimeline(isActive ? std::nullopt
                                                  : std::optional(clicked.timeline.id));
            });
        }
        stack_->insertWidget(stack_->count() - 1, card);
        cards_.push_back(card);
        if (toggled) {
            card->slide();
        }
    }
}

} // namespace tandrel
