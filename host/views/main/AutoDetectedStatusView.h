#pragma once

#include "host/query/TimelineChoice.h"

#include <QWidget>

#include <functional>

namespace tandrel {

class ElidedLabel;

// The sidebar's compact card while a timeline is served and the user has not asked for the
// full lists: the timeline, "burning in" beside it while its snapshot is written, its library
// and its event, and "Show All Libraries". Keeps nothing and changes nothing in the state
// object.
class AutoDetectedStatusView : public QWidget {
    Q_OBJECT

public:
    static constexpr const char *showAllLibrariesTitle = "Show All Libraries";
    static constexpr const char *burningInText = "burning in";

    AutoDetectedStatusView(const TimelineChoice &timeline, bool isBurningIn,
                           std::function<void()> onShowManual, QWidget *parent = nullptr);

    const TimelineChoice &timeline() const { return timeline_; }
    // Null while the timeline's snapshot is not written.
    QWidget *burningInLabel() const { return burningIn_; }
    // The timeline's, the library's and the event's line, in that order.
    ElidedLabel *line(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *pathRow(const QString &glyph, const QColor &tint, const QString &text, bool isPrimary);

    TimelineChoice timeline_;
    std::vector<ElidedLabel *> lines_;
    QWidget *burningIn_ = nullptr;
};

} // namespace tandrel
