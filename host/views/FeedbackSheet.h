#pragma once

#include <QDialog>

namespace tandrel {

class AppState;

// The feedback form, as a sheet over the window that asked for it. `herkunft` names where it
// was opened ("Main Window", "Settings"); it goes with the feedback.
//
// Placeholder until the form comes: it names the form and closes.
class FeedbackSheet : public QDialog {
    Q_OBJECT

public:
    static constexpr const char *mainWindowOrigin = "Main Window";

    FeedbackSheet(AppState &state, const QString &herkunft, QWidget *parent);

    QString herkunft() const { return herkunft_; }

private:
    QString herkunft_;
};

} // namespace tandrel
