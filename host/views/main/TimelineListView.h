#pragma once

#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneScrollArea.h"
#include "host/views/main/TimelineListContent.h"

#include <QAbstractButton>

#include <optional>
#include <string>
#include <vector>

class QVBoxLayout;

namespace corvane {
class CorvaneAnimation;
class CorvaneChipChrome;
} // namespace corvane

namespace tandrel {

class AppState;
class ElidedLabel;
class Preferences;

// A button drawn by the children of its layout, as large as they need.
class LaidOutButton : public QAbstractButton {
    Q_OBJECT

public:
    using QAbstractButton::QAbstractButton;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// One timeline as a chip: a dot, the name (with its library and, for a name the card holds
// twice, where in the event it lives) and "burning in" or its number of edits. A click serves
// it, or releases it when it is being served.
class TimelineRow : public LaidOutButton {
    Q_OBJECT

public:
    explicit TimelineRow(const TimelineRowContent &content, QWidget *parent = nullptr);

    const TimelineRowContent &content() const { return content_; }
    corvane::CorvaneChipChrome *chip() const { return chip_; }
    ElidedLabel *nameLabel() const { return name_; }
    // Null unless the row shows that line.
    ElidedLabel *libraryLabel() const { return library_; }
    // Null without a trailing label.
    QWidget *trailingLabel() const { return trailing_; }

private:
    TimelineRowContent content_;
    corvane::CorvaneChipChrome *chip_;
    ElidedLabel *name_;
    ElidedLabel *library_ = nullptr;
    ElidedLabel *sourcePath_ = nullptr;
    QWidget *trailing_ = nullptr;
};

// The header of a card: the chevron, the event (and its library), and while closed the number
// of its timelines. A click opens or closes the card.
class TimelineCardHeader : public LaidOutButton {
    Q_OBJECT

public:
    explicit TimelineCardHeader(const TimelineCardContent &content, QWidget *parent = nullptr);

    bool isExpanded() const { return expanded_; }
    // The chevron's turn, in degrees: 0 pointing right (closed), 90 down (open).
    double chevronAngle() const;
    void setChevronAngle(double degrees);
    // Null unless the header shows that line.
    QWidget *libraryLabel() const { return library_; }
    QWidget *countLabel() const { return count_; }

private:
    bool expanded_;
    class CardChevron *chevron_;
    QWidget *library_ = nullptr;
    QWidget *count_ = nullptr;
};

// The timelines of one event of one library. A card the user opens or closes slides its rows
// in or out over 0.15 s, eased in and out, on the kit's clock, while its chevron turns.
class TimelineCard : public QWidget {
    Q_OBJECT

public:
    static constexpr corvane::CorvaneClock::Duration toggleSlide{150};

    // A closed card may be given the rows it had open, to slide them out (slide()).
    explicit TimelineCard(const TimelineCardContent &content,
                          const std::vector<TimelineRowContent> &closingRows = {},
                          QWidget *parent = nullptr);

    const TimelineCardContent &content() const { return content_; }
    TimelineCardHeader *header() const { return header_; }
    // The rows of an open card; none while closed, also while closing rows slide out.
    const std::vector<TimelineRow *> &rows() const { return rows_; }

    // Slides from the other state into the card's own: rows in for an open card, the closing
    // rows out for a closed one.
    void slide();
    // How far the rows are in, from 0 (closed) to 1 (open).
    double openness() const { return openness_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setOpenness(double openness);

    TimelineCardContent content_;
    TimelineCardHeader *header_;
    class RowsReveal *rowsArea_ = nullptr;
    std::vector<TimelineRow *> rows_;
    corvane::CorvaneAnimation *slide_;
    double openness_;
};

// Every timeline the host can serve, in cards by event and library that open and close on a
// click of their header; which cards are open is kept in the interface preferences
// ("Tandrel.ExpandedEvents") and shared by every window. A click on a row serves its
// timeline; a second click on the served one releases it.
class TimelineListView : public corvane::CorvaneScrollArea {
    Q_OBJECT

public:
    TimelineListView(AppState &state, Preferences &preferences, QWidget *parent = nullptr);

    const std::vector<TimelineCard *> &cards() const { return cards_; }
    // Opens a closed card or closes an open one, and stores the open cards. In this list the
    // card slides; every other window's list follows at once.
    void toggleExpanded(const std::string &groupKey);

private:
    // A card this list is opening or closing, until the list is built again.
    struct Toggle {
        std::string groupKey;
        std::vector<TimelineRowContent> closingRows;
    };

    void rebuild();
    std::string expandedEventsStored() const;

    AppState &state_;
    Preferences &preferences_;
    QVBoxLayout *stack_;
    std::vector<TimelineCard *> cards_;
    std::optional<Toggle> toggle_;
};

} // namespace tandrel
