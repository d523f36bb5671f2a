#pragma once

#include <QObject>

namespace tandrel {

// The host's in-process notifications, one object for the whole host: a command posts, every
// open main window that observes answers.
class HostNotifications : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    void postShowFeedbackSheet();

signals:
    // "Send Feedback…": every open main window presents its feedback sheet.
    void showFeedbackSheet();
};

} // namespace tandrel
