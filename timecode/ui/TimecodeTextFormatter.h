#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/ui/StyledText.h"

#include <QTextCharFormat>
#include <QValidator>
#include <QVariant>

#include <memory>
#include <optional>

namespace timecode {

// The typing check and display form of timecode text fields. Its value is the text itself,
// never a parsed timecode: callers read the text and parse it themselves.
//
// Typing (validate): without a frame rate or an upper limit anything goes. Otherwise only
// timecode characters, at most three separators, a day field under the 100-day limit, and
// sub-frames only when the format shows them; "." and ";" typed before the frames become the
// separator due there. A letter is refused with "Invalid characters." (lastErrorDescription);
// other refusals say nothing.
//
// Display (string, attributedString): the text reformatted at the three properties, components
// kept as typed; with showsValidation, invalid components in the invalid format.
class TimecodeTextFormatter : public QValidator {
    Q_OBJECT
public:
    // All initial values: no rate, base or limit, the empty format, natural alignment, no
    // validation display, an empty invalid format.
    explicit TimecodeTextFormatter(QObject *parent = nullptr);
    // No properties leave the rate, base and limit empty; no format gives the empty one; no
    // invalid format an empty one.
    TimecodeTextFormatter(const std::optional<Timecode::Properties> &properties,
                          const std::optional<Timecode::StringFormat> &stringFormat,
                          bool showsValidation,
                          const std::optional<QTextCharFormat> &invalidAttributes,
                          QObject *parent = nullptr);
    // The properties of the timecode.
    TimecodeTextFormatter(const Timecode &timecode,
                          const std::optional<Timecode::StringFormat> &stringFormat,
                          bool showsValidation,
                          const std::optional<QTextCharFormat> &invalidAttributes,
                          QObject *parent = nullptr);

    std::optional<TimecodeFrameRate> frameRate() const { return frameRate_; }
    void setFrameRate(std::optional<TimecodeFrameRate> rate);
    std::optional<Timecode::UpperLimit> upperLimit() const { return upperLimit_; }
    void setUpperLimit(std::optional<Timecode::UpperLimit> limit);
    std::optional<Timecode::SubFramesBase> subFramesBase() const { return subFramesBase_; }
    void setSubFramesBase(std::optional<Timecode::SubFramesBase> base);
    Timecode::StringFormat stringFormat() const { return stringFormat_; }
    void setStringFormat(Timecode::StringFormat format);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);
    bool showsValidation() const { return showsValidation_; }
    void setShowsValidation(bool on);
    QTextCharFormat invalidAttributes() const { return invalidAttributes_; }
    void setInvalidAttributes(const QTextCharFormat &attributes);

    // The retired name of invalidAttributes.
    [[deprecated("use invalidAttributes()")]] QTextCharFormat validationAttributes() const {
        return invalidAttributes();
    }
    [[deprecated("use setInvalidAttributes()")]] void
    setValidationAttributes(const QTextCharFormat &attributes) {
        setInvalidAttributes(attributes);
    }
    // The retired initialiser, named for its invalid format's old name.
    [[deprecated("use the constructor with invalidAttributes")]] static std::unique_ptr<
        TimecodeTextFormatter>
    withValidationAttributes(const std::optional<Timecode::Properties> &properties,
                             const std::optional<Timecode::StringFormat> &stringFormat,
                             bool showsValidation,
                             const std::optional<QTextCharFormat> &validationAttributes);

    // Rate, base and limit together; none while any is missing.
    std::optional<Timecode::Properties> timecodeProperties() const;
    // All seven settings of the other formatter.
    void inheritProperties(const TimecodeTextFormatter &other);

    // The text shown for a value: nothing for a value that is not text; the text unchanged
    // while a property is missing or when it does not parse; else reformatted.
    std::optional<QString> string(const QVariant &object) const;
    // The shown text with formats, aligned; nothing for a value that is not text. With
    // showsValidation: invalid components in the invalid format (sub-frames left out and days
    // only when not 0), or the whole text in it when it does not parse.
    std::optional<StyledText> attributedString(const QVariant &object,
                                               const QTextCharFormat &defaultAttributes) const;
    // The value of the text: the text. Always succeeds.
    QVariant getObjectValue(const QString &string) const { return string; }
    // The typing check on a proposed text: true when it may stand. False when it is refused
    // (errorDescription set when there is something to say) or replaced (partialString then
    // holds the rebuilt text).
    bool isPartialStringValid(QString &partialString, QString *errorDescription) const;

    // The check as a validator: a rebuilt text is replaced in the input and accepted, a refused
    // one is Invalid, so the line edit keeps its text and reports inputRejected().
    State validate(QString &input, int &pos) const override;
    // Why the last refusal happened; empty when there was nothing to say.
    QString lastErrorDescription() const { return lastErrorDescription_; }

private:
    std::optional<TimecodeFrameRate> frameRate_;
    std::optional<Timecode::UpperLimit> upperLimit_;
    std::optional<Timecode::SubFramesBase> subFramesBase_;
    Timecode::StringFormat stringFormat_;
    Qt::Alignment alignment_ = Qt::AlignLeading;
    bool showsValidation_ = false;
    QTextCharFormat invalidAttributes_;
    mutable QString lastErrorDescription_;
};

} // namespace timecode
