#pragma once

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QSlider;

namespace corvane {
class CorvaneButton;
}

namespace tandrel {

class AppState;
class FeedbackSheet;
class Preferences;
class TextButton;
class UrlOpener;

// The content of the settings window: the window appearance preset, the feedback form, credits
// and the privacy policy, and the window's transparency. Every choice reaches the interface
// preferences at once, so every main window repaints while this one is open, and is written
// once: a preset with all its values, a drag of the slider when it ends. A change made
// elsewhere shows here at once too.
class SettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr int formWidth = 380;
    static constexpr int padding = 20;
    // Room for the whole form.
    static constexpr QSize windowSize{formWidth + 2 * padding, 560};

    SettingsView(AppState &state, Preferences &preferences, UrlOpener &opener,
                 QWidget *parent = nullptr);
    // The desktop opens the privacy policy.
    SettingsView(AppState &state, Preferences &preferences, QWidget *parent = nullptr);
    // A drag cut short by the window's closing is stored all the same.
    ~SettingsView() override;

    QComboBox *presetPicker() const { return picker_; }
    QSlider *transparencySlider() const { return slider_; }
    QLabel *percentLabel() const { return percent_; }
    corvane::CorvaneButton *sendFeedbackButton() const { return sendFeedback_; }
    TextButton *privacyPolicyLink() const { return privacyPolicy_; }
    // The feedback form while it is open.
    FeedbackSheet *feedbackSheet() const;

private:
    QWidget *makeAppearanceSection();
    QWidget *makeFeedbackSection();
    QWidget *makeCreditsSection();
    QWidget *makeWindowSection();
    void refresh();
    void presetPicked(int index);
    void sliderMoved(int position);
    void presentFeedbackSheet();

    AppState &state_;
    Preferences &preferences_;
    UrlOpener &opener_;
    // Set while the controls are brought in line with the preferences, whose signals then
    // write nothing back.
    bool refreshing_ = false;
    QComboBox *picker_ = nullptr;
    QSlider *slider_ = nullptr;
    QLabel *percent_ = nullptr;
    corvane::CorvaneButton *sendFeedback_ = nullptr;
    TextButton *privacyPolicy_ = nullptr;
    QPointer<FeedbackSheet> feedbackSheet_;
};

} // namespace tandrel
