#pragma once

#include <QScrollArea>

class QVBoxLayout;

namespace tandrel {

class AppState;
class Preferences;

// Every timeline the host can serve, under its event's name; a click serves a timeline, a
// second click on the served one releases it.
//
// Placeholder until the timeline list comes: every event is open, rows carry no library line
// or source path, and nothing is remembered.
class TimelineListView : public QScrollArea {
    Q_OBJECT

public:
    TimelineListView(AppState &state, Preferences &preferences, QWidget *parent = nullptr);

private:
    void rebuild();

    AppState &state_;
    QVBoxLayout *cards_;
};

} // namespace tandrel
