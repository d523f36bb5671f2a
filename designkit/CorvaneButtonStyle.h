#pragma once

#include <QColor>
#include <QFont>

namespace corvane {

// What a painted button draws behind its label in one state: a fill, a 1-point border inside
// the edge, and the opacity of the whole button.
struct ButtonLook {
    QColor fill;
    QColor border;
    double opacity = 1;

    friend bool operator==(const ButtonLook &, const ButtonLook &) = default;
};

// The kit's text button: medium 14-point label, 12 × 8 points of padding, a rounded
// rectangle of radius 8 filled with the accent background while active; pressing strengthens
// the border and dims the button. It sets no text colour: the label keeps the inherited one.
struct CorvaneButtonStyle {
    bool isActive = false;

    static constexpr int horizontalPadding = 12;
    static constexpr int verticalPadding = 8;
    static constexpr double cornerRadius = 8;

    static QFont font();
    ButtonLook look(bool isPressed) const;

    friend bool operator==(const CorvaneButtonStyle &, const CorvaneButtonStyle &) = default;
};

// The kit's round icon button: a `size` × `size` hit area, the label centred, a circle that
// fills with the selection colour while pressed and a faint ring at all times.
struct CorvaneIconButtonStyle {
    double size = 32;

    // The usual icon button, 32 points across.
    static CorvaneIconButtonStyle corvaneIcon() { return {32}; }
    ButtonLook look(bool isPressed) const;

    friend bool operator==(const CorvaneIconButtonStyle &,
                           const CorvaneIconButtonStyle &) = default;
};

} // namespace corvane
