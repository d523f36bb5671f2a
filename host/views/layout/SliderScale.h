#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace tandrel {

// A numeric range edited with a slider and a number field beside it. A QSlider counts whole
// steps, so the slider works in step positions (0 at the lower bound) while the value itself
// may lie between steps: showing a value on the slider never changes the value.
class SliderScale {
public:
    // `step` > 0 and `lower` < `upper`.
    SliderScale(double lower, double upper, double step);

    double lower() const { return lower_; }
    double upper() const { return upper_; }
    double step() const { return step_; }

    // The value moved into the range.
    double clamp(double value) const;
    // The number field's decimals: 2 for a step below 1, else none.
    int decimals() const;

    // The slider's positions: 0 … positionCount().
    int positionCount() const;
    // The nearest position to a value, inside the range.
    int position(double value) const;
    // The value at a position, without the binary noise of adding steps (7 × 0.05 is 0.35).
    double value(int position) const;

    // The number field's text in `locale`, with decimals().
    QString format(double value, const QLocale &locale) const;
    // A number typed in `locale` (surrounding spaces allowed); nothing for any other text and
    // for infinities and NaN, which no element can store.
    static std::optional<double> parse(const QString &text, const QLocale &locale);

private:
    double lower_;
    double upper_;
    double step_;
};

} // namespace tandrel
