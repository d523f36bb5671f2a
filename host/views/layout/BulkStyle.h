#pragma once

#include "core/model/BurnInElement.h"
#include "core/model/BurnInTextAlignment.h"

#include <QColor>

#include <functional>
#include <optional>

namespace tandrel {

class AppState;

// The values of the "Bulk Style" panel: view state of the layout editor pane, made with these
// defaults with every pane and never saved. New elements are seeded from them too (all but the
// alignment).
struct BulkStyleValues {
    double fontSize = 24;
    QColor textColor = Qt::white;
    double textOpacity = 1.0;
    bool showBackground = true;
    QColor bgColor = Qt::black;
    double bgOpacity = 0.7;
    BurnInTextAlignment textAlignment = BurnInTextAlignment::left;

    friend bool operator==(const BulkStyleValues &, const BulkStyleValues &) = default;
};

// Setting one style property on every element of the active preset at once: each row of the
// panel has a mutation that touches only its own field or fields, and "Apply" runs it over
// every element, enabled or not, in one write of the preset list.
class BulkStyle {
public:
    using Mutation = std::function<void(BurnInElement &)>;

    static constexpr const char *caption =
        "Overwrites every element in this preset immediately — duplicate the preset first if "
        "you want to keep the current state.";

    // Applies `mutation` to every element of the active preset and assigns the list once (the
    // state object skips an unchanged list); false, writing nothing, without an active preset.
    static bool applyToAllElements(AppState &state, const Mutation &mutation);

    // The rows' mutations.
    static Mutation fontSize(double size);
    static Mutation textAlignment(BurnInTextAlignment alignment);
    // Both colours go through the colour rule (ElementColor); an invalid colour leaves the
    // element's colour as it was.
    static Mutation textColor(const QColor &colour);
    static Mutation textOpacity(double opacity);
    static Mutation showBackground(bool show);
    // The background colour, then its opacity, which is written whether or not the colour
    // could be read.
    static Mutation backgroundColor(const QColor &colour, double opacity);

    // What the number fields take. A font size is any finite size above 0 (above the slider's
    // 72 too: it is kept as typed); an opacity any finite number, clamped into 0 … 1. Nothing
    // means the field keeps its last good value.
    static std::optional<double> acceptedFontSize(double typed);
    static std::optional<double> acceptedOpacity(double typed);
};

} // namespace tandrel
