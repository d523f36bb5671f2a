#include "timecode/ui/TimecodeTextFormatter.h"

#include "timecode/ui/TimecodeStyledText.h"
#include "timecode/ui/model/TimecodeTextRules.h"

namespace timecode {

namespace {

std::optional<Timecode> parsed(const QString &text, const Timecode::Properties &properties) {
    try {
        Timecode timecode(properties);
        timecode.setComponents(Timecode::decode(text.toStdString()));
        return timecode;
    } catch (const Timecode::StringParseError &) {
        return std::nullopt;
    }
}

} // namespace

TimecodeTextFormatter::TimecodeTextFormatter(QObject *parent) : QValidator(parent) {}

TimecodeTextFormatter::TimecodeTextFormatter(
    const std::optional<Timecode::Properties> &properties,
    const std::optional<Timecode::StringFormat> &stringFormat, bool showsValidation,
    const std::optional<QTextCharFormat> &invalidAttributes, QObject *parent)
    : QValidator(parent), stringFormat_(stringFormat.value_or(Timecode::StringFormat())),
      showsValidation_(showsValidation),
      invalidAttributes_(invalidAttributes.value_or(QTextCharFormat())) {
    if (properties) {
        frameRate_ = properties->frameRate;
        upperLimit_ = properties->upperLimit;
        subFramesBase_ = properties->subFramesBase;
    }
}

TimecodeTextFormatter::TimecodeTextFormatter(
    const Timecode &timecode, const std::optional<Timecode::StringFormat> &stringFormat,
    bool showsValidation, const std::optional<QTextCharFormat> &invalidAttributes, QObject *parent)
    : TimecodeTextFormatter(timecode.properties(), stringFormat, showsValidation, invalidAttributes,
                            parent) {}

std::unique_ptr<TimecodeTextFormatter> TimecodeTextFormatter::withValidationAttributes(
    const std::optional<Timecode::Properties> &properties,
    const std::optional<Timecode::StringFormat> &stringFormat, bool showsValidation,
    const std::optional<QTextCharFormat> &validationAttributes) {
    return std::make_unique<TimecodeTextFormatter>(properties, stringFormat, showsValidation,
                                                   validationAttributes);
}

void TimecodeTextFormatter::setFrameRate(std::optional<TimecodeFrameRate> rate) {
    frameRate_ = rate;
    emit changed();
}

void TimecodeTextFormatter::setUpperLimit(std::optional<Timecode::UpperLimit> limit) {
    upperLimit_ = limit;
    emit changed();
}

void TimecodeTextFormatter::setSubFramesBase(std::optional<Timecode::SubFramesBase> base) {
    subFramesBase_ = base;
    emit changed();
}

void TimecodeTextFormatter::setStringFormat(Timecode::StringFormat format) {
    stringFormat_ = format;
    emit changed();
}

void TimecodeTextFormatter::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    emit changed();
}

void TimecodeTextFormatter::setShowsValidation(bool on) {
    showsValidation_ = on;
    emit changed();
}

void TimecodeTextFormatter::setInvalidAttributes(const QTextCharFormat &attributes) {
    invalidAttributes_ = attributes;
    emit changed();
}

std::optional<Timecode::Properties> TimecodeTextFormatter::timecodeProperties() const {
    if (!frameRate_ || !subFramesBase_ || !upperLimit_) {
        return std::nullopt;
    }
    return Timecode::Properties(*frameRate_, *subFramesBase_, *upperLimit_);
}

void TimecodeTextFormatter::inheritProperties(const TimecodeTextFormatter &other) {
    frameRate_ = other.frameRate_;
    upperLimit_ = other.upperLimit_;
    subFramesBase_ = other.subFramesBase_;
    stringFormat_ = other.stringFormat_;
    alignment_ = other.alignment_;
    showsValidation_ = other.showsValidation_;
    invalidAttributes_ = other.invalidAttributes_;
    emit changed();
}

std::optional<QString> TimecodeTextFormatter::string(const QVariant &object) const {
    if (object.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return QString::fromStdString(TimecodeTextRules::string(object.toString().toStdString(),
                                                            timecodeProperties(), stringFormat_));
}

std::optional<StyledText>
TimecodeTextFormatter::attributedString(const QVariant &object,
                                        const QTextCharFormat &defaultAttributes) const {
    const std::optional<QString> shown = string(object);
    if (!shown) {
        return std::nullopt;
    }
    StyledText styled;
    const std::optional<Timecode::Properties> properties = timecodeProperties();
    const std::optional<Timecode> timecode =
        properties ? parsed(*shown, *properties) : std::nullopt;
    if (timecode && showsValidation_) {
        styled = nsAttributedString(*timecode, {}, defaultAttributes, std::nullopt, std::nullopt,
                                    invalidAttributes_);
    } else if (!timecode && showsValidation_) {
        QTextCharFormat whole = defaultAttributes;
        whole.merge(invalidAttributes_);
        styled = StyledText(*shown, std::nullopt, whole);
    } else {
        styled = StyledText(*shown, std::nullopt, defaultAttributes);
    }
    return styled.addingAttribute(alignment_);
}

bool TimecodeTextFormatter::isPartialStringValid(QString &partialString,
                                                 QString *errorDescription) const {
    using Verdict = TimecodeTextRules::PartialCheck::Verdict;
    const TimecodeTextRules::PartialCheck check = TimecodeTextRules::isPartialStringValid(
        partialString.toStdString(), frameRate_, upperLimit_, stringFormat_);
    if (errorDescription != nullptr) {
        *errorDescription =
            check.errorDescription ? QString::fromStdString(*check.errorDescription) : QString();
    }
    if (check.verdict == Verdict::replaced) {
        partialString = QString::fromStdString(check.rebuilt);
    }
    return check.verdict == Verdict::valid;
}

QValidator::State TimecodeTextFormatter::validate(QString &input, int &pos) const {
    using Verdict = TimecodeTextRules::PartialCheck::Verdict;
    const TimecodeTextRules::PartialCheck check = TimecodeTextRules::isPartialStringValid(
        input.toStdString(), frameRate_, upperLimit_, stringFormat_);
    switch (check.verdict) {
    case Verdict::valid:
        return Acceptable;
    case Verdict::replaced:
        input = QString::fromStdString(check.rebuilt);
        pos = std::min(pos, static_cast<int>(input.size()));
        return Acceptable;
    case Verdict::rejected:
        break;
    }
    lastErrorDescription_ =
        check.errorDescription ? QString::fromStdString(*check.errorDescription) : QString();
    return Invalid;
}

} // namespace timecode
