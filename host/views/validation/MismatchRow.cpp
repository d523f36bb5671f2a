#include "host/views/validation/MismatchRow.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/common/WrappingLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRawFont>

namespace tandrel {

using corvane::Color;
using corvane::FontTextStyle;

namespace {

// The arrow between the two values. The monospaced face gives it one narrow cell, where it
// reads as a short dash among the digits; the kit's face, where it has the sign, draws it whole.
QFont arrowFont(const QFont &monospaced) {
    QFont kit = textStyleFont(FontTextStyle::caption2);
    return QRawFont::fromFont(kit).supportsCharacter(MismatchRow::arrow) ? kit : monospaced;
}

} // namespace

MismatchRow::MismatchRow(const TimelineValidator::FieldMismatch &mismatch, QWidget *parent)
    : QWidget(parent) {
    const QFont font = textStyleFont(FontTextStyle::caption2);
    const QFont monospaced = monospacedFont(FontTextStyle::caption2);

    auto *name = new ElidedLabel(qtText(ReportTexts::rowName(mismatch.clipName)), Qt::ElideMiddle);
    name->setObjectName(QStringLiteral("name"));
    name->setFont(font);
    name->setMinimumWidth(100);
    auto *field =
        styledLabel(QString::fromStdString(mismatch.field),
                    textStyleFont(FontTextStyle::caption2, corvane::CorvaneFontWeight::demiBold),
                    Color::orange());
    field->setObjectName(QStringLiteral("field"));
    // Names can be long: the values wrap rather than push the row wider than the window.
    auto *values = wrappingLabel(QString::fromStdString(ReportTexts::expectedAndActual(mismatch)),
                                 monospaced, Color::corvaneTextSecondary());
    values->setObjectName(QStringLiteral("values"));
    values->setFontFor(MismatchRow::arrow, arrowFont(monospaced));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(name, 0, Qt::AlignVCenter);
    layout->addWidget(field, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(values, 0, Qt::AlignVCenter);
    if (const auto delta = ReportTexts::delta(mismatch)) {
        auto *frames = styledLabel(QString::fromStdString(*delta), monospaced, Color::red());
        frames->setObjectName(QStringLiteral("delta"));
        layout->addWidget(frames, 0, Qt::AlignVCenter);
    }
}

} // namespace tandrel
