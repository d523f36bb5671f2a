#pragma once

#include <QWidget>

namespace tandrel {

class AppState;

// "Detect from Final Cut Pro", in its two forms: the compact icon of the header row and the
// labelled button of the empty sidebar, with the last detection's error under it.
//
// Placeholder until the detection views come: it adds the libraries the state object finds
// open in the editor (none while the state object cannot ask), without the choice dialog and
// the Automation repair links.
class DetectFromFCPButton : public QWidget {
    Q_OBJECT

public:
    static constexpr const char *title = "Detect from Final Cut Pro";

    DetectFromFCPButton(AppState &state, bool compact, QWidget *parent = nullptr);

    bool isCompact() const { return compact_; }
    void detect();

private:
    void showError();

    AppState &state_;
    bool compact_;
    QWidget *button_;
    QWidget *error_ = nullptr;
};

} // namespace tandrel
