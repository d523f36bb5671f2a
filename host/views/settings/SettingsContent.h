#pragma once

#include "designkit/CorvaneAppearancePreset.h"

#include <QString>

#include <optional>

namespace tandrel {

class Preferences;

// The rules of the settings window: the appearance preset a stored id picks, what picking a
// preset writes, and the transparency slider with its label.
struct SettingsContent {
    static constexpr const char *appearanceHeader = "Appearance";
    static constexpr const char *presetLabel = "Preset";
    static constexpr const char *presetCaption =
        "Saffra Colors is a dark palette with a sidebar, content and selection colour of its "
        "own.";
    static constexpr const char *feedbackHeader = "Feedback";
    static constexpr const char *sendFeedbackTitle = "Send Feedback\u2026";
    static constexpr const char *feedbackCaption =
        "Bugs, feature ideas, anything you notice \u2014 goes straight to Ostrevale.";
    static constexpr const char *creditsHeader = "Credits & Legal";
    static constexpr const char *creditsCaption =
        "Embrik uses the timecode library for its timecode arithmetic and timecode tracks, under "
        "the MIT licence, and Qt for its windows, under the LGPL.";
    static constexpr const char *privacyPolicyTitle = "Privacy Policy";
    static constexpr const char *privacyPolicyAddress = "https://ostrevale.com/privacy";
    static constexpr const char *windowHeader = "Window";
    static constexpr const char *transparencyTitle = "Window Transparency";
    static constexpr const char *transparencyCaption =
        "Higher = darker/more opaque. Lower = more see-through to what's behind the window. "
        "Fine-tunes whichever preset is picked above.";

    // The slider runs over 0 to 1 in steps of 0.05: positions 0 to 20.
    static constexpr int sliderSteps = 20;

    // The position of the built-in preset with this id; none for an id no preset has.
    static std::optional<int> presetIndex(const QString &id);
    // Writes the preset's id, base colour, sidebar colour ("" for none), sidebar darkness delta
    // and darkness, in that order, in one write of the settings.
    static void apply(const corvane::CorvaneAppearancePreset &preset, Preferences &preferences);

    // The darkness as a whole percentage, "95%". Multiplied by 100, rounded to 6 decimals
    // against the error of binary fractions (a stored 0.29 is 29%, not 28%), then cut to a
    // whole number toward zero. A darkness that is no number reads as the default.
    static QString percentLabel(double darkness);
    // The slider's nearest position to a darkness (any stored value, also one between steps or
    // outside 0 to 1), and the darkness of a position.
    static int sliderPosition(double darkness);
    static double darkness(int sliderPosition);
};

} // namespace tandrel
